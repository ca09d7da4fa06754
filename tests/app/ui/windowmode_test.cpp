#include "windowmode.h"

#include "converter.h"
#include "maindlg.h"
#include "settingsstore.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

TEST(WindowMode, RunsUntilTheMainWindowClosesAndAnswersZero)
{
    CConverter converter;
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    bool shown = false;
    QTimer::singleShot(0, [&] {
        ui::CMainDlg *window = ui::CMainDlg::instance();
        shown = window && window->isVisible();
        if (window)
            window->close();
    });
    EXPECT_EQ(ui::runWindowMode(converter, store), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(ui::CMainDlg::instance(), nullptr);
    QString saveFolder;
    EXPECT_TRUE(store.ReadString(QStringLiteral("Main"), QStringLiteral("SaveFolder"), saveFolder));
}

} // namespace
