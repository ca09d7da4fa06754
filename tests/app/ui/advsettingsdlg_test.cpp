#include "advsettingsdlg.h"

#include "helpviewer.h"
#include "mybutton.h"
#include "mycombobox.h"
#include "stringids.h"
#include "uitestutil.h"
#include "updowncontrol.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace quirex::app;
using namespace quirex::app::ui;
using quirex::test::control;

namespace
{

QLineEdit *edit(const QWidget *dialog, const char *id)
{
    return control<QLineEdit>(dialog, id);
}

void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
}

TEST(SettingsDialog, CaptionsAndTooltipsComeFromTheStringTableInEitherLanguage)
{
    for (int language : {LanguageEnglish, LanguageRussian}) {
        CAdvSettingsDlg dialog(ConversionSettings(), nullptr, language);
        const auto text = [language](int id) { return loadText(id, language); };
        EXPECT_EQ(dialog.windowTitle(), text(strings::PdfSettingsTitle));
        EXPECT_EQ(control<QGroupBox>(&dialog, "1020")->title(), text(strings::PageInfo));
        EXPECT_EQ(control<QGroupBox>(&dialog, "1031")->title(), text(strings::Misc));
        const std::pair<const char *, int> labels[] = {
            {"1027", strings::SizeLabel},       {"1028", strings::OrientationLabel},
            {"1034", strings::Margins},         {"1035", strings::LeftLabel},
            {"1036", strings::RightLabel},      {"1037", strings::TopLabel},
            {"1038", strings::BottomLabel},     {"1047", strings::ZoomLabel},
            {"1041", strings::EncodingLabel},   {"1042", strings::BaseUrlLabel},
            {"7008", strings::SettingsHelpHint}};
        for (const auto &[id, textId] : labels)
            EXPECT_EQ(control<QLabel>(&dialog, id)->text(), text(textId)) << id;
        EXPECT_EQ(control<QCheckBox>(&dialog, "1100")->text(), text(strings::PreserveLinks));
        EXPECT_EQ(control<QCheckBox>(&dialog, "1040")->text(), text(strings::InsertPageNumbers));
        EXPECT_EQ(control<QCheckBox>(&dialog, "1033")->text(), text(strings::PostEntireImages));
        EXPECT_EQ(control<QCheckBox>(&dialog, "1043")->text(), text(strings::PostEntireTables));
        EXPECT_EQ(control<QCheckBox>(&dialog, "1040")->toolTip(), text(strings::PageNumbersTip));
        EXPECT_EQ(control<QCheckBox>(&dialog, "1100")->toolTip(), text(strings::PreserveLinksTip));
        EXPECT_EQ(control<CMyButton>(&dialog, "1")->text(), text(strings::Ok));
        EXPECT_EQ(control<CMyButton>(&dialog, "1")->toolTip(), text(strings::OkTip));
        EXPECT_EQ(control<QPushButton>(&dialog, "2")->toolTip(), text(strings::CancelTip));
        EXPECT_TRUE(control<QCheckBox>(&dialog, "1032")->isHidden());
        EXPECT_FALSE(control<QLabel>(&dialog, "7008")->isEnabled());

        auto *orientation = control<CMyComboBox>(&dialog, "1109");
        ASSERT_EQ(orientation->count(), 2);
        EXPECT_EQ(orientation->itemText(1), text(strings::Landscape));
        EXPECT_EQ(control<CMyComboBox>(&dialog, "1108")->count(), 30);
        EXPECT_EQ(control<CMyComboBox>(&dialog, "1108")->currentText(), QStringLiteral("A4"));
        EXPECT_EQ(control<CMyComboBox>(&dialog, "1110")->count(), 134);
        EXPECT_EQ(control<CMyComboBox>(&dialog, "1110")->currentText(),
                  QStringLiteral("ISO-8859-1"));
        EXPECT_EQ(quirex::test::cutOffCaptions(&dialog), QStringList()) << language;
    }
}

TEST(SettingsDialog, NumbersAreKeptBetweenZeroAnd999AsTheyAreTyped)
{
    ConversionSettings settings;
    settings.MarginLeft = 999;
    settings.Zoom = 0;
    CAdvSettingsDlg dialog(settings, nullptr, LanguageEnglish);
    dialog.show();

    // The zoom box shows 0 while its spin starts at 100.
    EXPECT_EQ(edit(&dialog, "1136")->text(), QStringLiteral("0"));
    auto *zoomSpin = control<UpDownControl>(&dialog, "1137");
    EXPECT_EQ(zoomSpin->position(), 100);
    zoomSpin->stepBy(+1);
    EXPECT_EQ(edit(&dialog, "1136")->text(), QStringLiteral("101"));
    EXPECT_EQ(dialog.settings().Zoom, 101);

    // The up arrow at 999 leaves 999; the down arrow at 0 leaves 0.
    control<UpDownControl>(&dialog, "1129")->stepBy(+1);
    EXPECT_EQ(edit(&dialog, "1128")->text(), QStringLiteral("999"));
    typeInto(edit(&dialog, "1132"), QStringLiteral("0"));
    QTest::keyClick(control<UpDownControl>(&dialog, "1133"), Qt::Key_Down);
    EXPECT_EQ(edit(&dialog, "1132")->text(), QStringLiteral("0"));
    QTest::keyClick(control<UpDownControl>(&dialog, "1133"), Qt::Key_Up);
    EXPECT_EQ(edit(&dialog, "1132")->text(), QStringLiteral("1"));

    // 1500 turns into 999 at once, -3 into 0, text into 0; the spin follows.
    typeInto(edit(&dialog, "1130"), QStringLiteral("1500"));
    EXPECT_EQ(edit(&dialog, "1130")->text(), QStringLiteral("999"));
    EXPECT_EQ(control<UpDownControl>(&dialog, "1131")->position(), 999);
    edit(&dialog, "1134")->setText(QStringLiteral("-3"));
    EXPECT_EQ(edit(&dialog, "1134")->text(), QStringLiteral("0"));
    edit(&dialog, "1134")->setText(QStringLiteral("ten"));
    EXPECT_EQ(edit(&dialog, "1134")->text(), QStringLiteral("0"));
    typeInto(edit(&dialog, "1134"), QStringLiteral("42"));
    EXPECT_EQ(control<UpDownControl>(&dialog, "1135")->position(), 42);

    QTest::mouseClick(control<CMyButton>(&dialog, "1"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.settings().MarginLeft, 999);
    EXPECT_EQ(dialog.settings().MarginRight, 999);
    EXPECT_EQ(dialog.settings().MarginTop, 1);
    EXPECT_EQ(dialog.settings().MarginBottom, 42);
    EXPECT_EQ(dialog.settings().Zoom, 101);
}

TEST(SettingsDialog, OkTakesEveryControlAndListsOutsideTheirRangeGiveDefaults)
{
    ConversionSettings settings;
    settings.PaperSize = 100; // custom: not in the list
    settings.Encoding = 500;
    settings.Orientation = 7;
    CAdvSettingsDlg dialog(settings, nullptr, LanguageEnglish);
    dialog.show();
    EXPECT_EQ(control<CMyComboBox>(&dialog, "1108")->currentIndex(), -1);
    QTest::mouseClick(control<CMyButton>(&dialog, "1"), Qt::LeftButton);
    EXPECT_EQ(dialog.settings().PaperSize, 4);
    EXPECT_EQ(dialog.settings().Encoding, 63);
    EXPECT_EQ(dialog.settings().Orientation, 0);

    // The whole-image and whole-table switches start off, so the clicks
    // turn every switch on.
    ConversionSettings start;
    start.PostEntireImages = false;
    start.PostEntireTables = false;
    CAdvSettingsDlg edited(start, nullptr, LanguageEnglish);
    edited.show();
    control<CMyComboBox>(&edited, "1108")->setCurrentIndex(28);
    control<CMyComboBox>(&edited, "1109")->setCurrentIndex(1);
    control<CMyComboBox>(&edited, "1110")->setCurrentIndex(120);
    for (const char *id : {"1040", "1033", "1043"})
        QTest::mouseClick(control<QCheckBox>(&edited, id), Qt::LeftButton);
    typeInto(edit(&edited, "1012"), QStringLiteral("http://example.org/base/"));
    QTest::keyClick(&edited, Qt::Key_Return); // the default button
    ASSERT_EQ(edited.result(), QDialog::Accepted);
    const ConversionSettings &out = edited.settings();
    EXPECT_EQ(out.PaperSize, 28);
    EXPECT_EQ(out.Orientation, 1);
    EXPECT_EQ(out.Encoding, 120);
    EXPECT_TRUE(out.PageNumbers);
    EXPECT_TRUE(out.PostEntireImages);
    EXPECT_TRUE(out.PostEntireTables);
    EXPECT_EQ(out.BaseURL, QStringLiteral("http://example.org/base/"));
    EXPECT_TRUE(out.PreserveLinks);
    EXPECT_TRUE(out.ExcludeOrphanPages); // hidden, exchanged unchanged
}

TEST(SettingsDialog, PreserveLinksEnablesTheBaseUrlAndCancelKeepsTheRecord)
{
    ConversionSettings settings;
    settings.PreserveLinks = false;
    CAdvSettingsDlg dialog(settings, nullptr, LanguageEnglish);
    dialog.show();
    auto *links = control<QCheckBox>(&dialog, "1100");
    auto *base = edit(&dialog, "1012");
    EXPECT_TRUE(base->isEnabled()); // enabled at opening whatever the box says
    QTest::mouseClick(links, Qt::LeftButton);
    EXPECT_TRUE(base->isEnabled());
    QTest::mouseClick(links, Qt::LeftButton);
    EXPECT_FALSE(base->isEnabled());
    QTest::mouseClick(links, Qt::LeftButton);
    EXPECT_TRUE(base->isEnabled());

    CAdvSettingsDlg cancelled(settings, nullptr, LanguageEnglish);
    cancelled.show();
    typeInto(edit(&cancelled, "1128"), QStringLiteral("5"));
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_FALSE(cancelled.isVisible());
}

TEST(SettingsDialog, F1OpensTheSettingsTopic)
{
    quirex::test::OpenRecorder opener;
    CAdvSettingsDlg dialog(ConversionSettings(), nullptr, LanguageEnglish);
    dialog.setHelpFilePath(QStringLiteral(QUIREX_BIN_DIR "/help/index.html"));
    dialog.show();
    QTest::keyClick(edit(&dialog, "1128"), Qt::Key_F1);
    const QStringList opened = opener.opened();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral("/help/Quirex/_Settings.html")))
        << opened[0].toStdString();
}

} // namespace
