#include "progressdlg.h"

#include "stringids.h"
#include "uitestutil.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace quirex::app;
using namespace quirex::app::ui;
using quirex::test::control;

namespace
{

TEST(ProgressDialog, ShowsItsTextsInEitherLanguageAndEveryCaptionFits)
{
    for (int language : {LanguageEnglish, LanguageRussian}) {
        CProgressDlg dialog(nullptr, language);
        EXPECT_EQ(dialog.windowTitle(), loadText(strings::Converting, language));
        EXPECT_EQ(control<QLabel>(&dialog, "7006")->text(),
                  loadText(strings::OverallProgress, language));
        EXPECT_EQ(control<QPushButton>(&dialog, "2")->text(), loadText(strings::Cancel, language));
        dialog.setUpperText(loadText(strings::ConvertingFile, language) +
                            QStringLiteral("report.html..."));
        EXPECT_EQ(control<QLabel>(&dialog, "1010")->text().count(QLatin1Char('\n')), 1);
        EXPECT_TRUE(control<QLabel>(&dialog, "1009")->text().isEmpty());
        EXPECT_EQ(quirex::test::cutOffCaptions(&dialog), QStringList()) << language;
    }
}

TEST(ProgressDialog, KeepsTheFullRangeForRunsOfAnyLength)
{
    CProgressDlg dialog(nullptr, LanguageEnglish);
    // 20000 inputs: 100000 units, more than a 16-bit range could hold.
    dialog.setRangeMaximum(5 * qint64(20000));
    EXPECT_EQ(dialog.rangeMaximum(), 100000);
    EXPECT_EQ(control<QProgressBar>(&dialog, "1014")->maximum(), 100000);
    for (int i = 0; i < 13108; ++i)
        dialog.step(5);
    EXPECT_EQ(dialog.value(), 65540);
    // The bar never runs past its end; the largest list still has a range.
    dialog.setRangeMaximum(5 * qint64(0x400000));
    EXPECT_EQ(dialog.rangeMaximum(), 5 * 0x400000);
    dialog.setRangeMaximum(10);
    dialog.step(2);
    dialog.step(20);
    EXPECT_EQ(dialog.value(), 10);
}

TEST(ProgressDialog, CancelSetsTheFlagAndLeavesTheWindowOpen)
{
    CProgressDlg dialog(nullptr, LanguageEnglish);
    dialog.setRangeMaximum(15);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(dialog.cancelled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.cancelled());
    QTest::mouseClick(control<QPushButton>(&dialog, "2"), Qt::LeftButton);
    EXPECT_TRUE(dialog.cancelled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.hide();
}

} // namespace
