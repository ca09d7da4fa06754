#include "windowmode.h"

#include "converter.h"
#include "maindlg.h"
#include "settingsstore.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

// The main windows among the top-level widgets.
QList<ui::CMainDlg *> mainWindows()
{
    QList<ui::CMainDlg *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<ui::CMainDlg *>(widget))
            windows << window;
    return windows;
}

TEST(WindowMode, RunsUntilTheMainWindowClosesAndAnswersZero)
{
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    CConverter converter;
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    bool shown = false;
    QTimer::singleShot(0, [&] {
        const QList<ui::CMainDlg *> windows = mainWindows();
        shown = windows.size() == 1 && windows.constFirst()->isVisible();
        for (ui::CMainDlg *window : windows)
            window->close();
    });
    EXPECT_EQ(ui::runWindowMode(*application, converter, store), 0);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(mainWindows().isEmpty());
    QString saveFolder;
    EXPECT_TRUE(store.ReadString(QStringLiteral("Main"), QStringLiteral("SaveFolder"), saveFolder));
}

} // namespace
