#include "testenvironment.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace
{

// Takes the pictures under a real X server: the same windows the offscreen
// tests drive, as X draws them, with every caption checked for fit.
TEST(Screenshots, EachWindowInBothLanguagesUnderARealXServer)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb): no screenshots taken";
    QProcess run;
    run.setProcessEnvironment(quirex::test::xvfbEnvironment());
    run.start(xvfbRun,
              {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1024x768x24"),
               QStringLiteral(QUIREX_SCREENSHOT_TOOL), QStringLiteral(QUIREX_SCREENSHOT_DIR)});
    ASSERT_TRUE(run.waitForFinished(180000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0) << "captions cut off:\n"
                                 << out.toStdString() << run.readAllStandardError().toStdString();
    for (const char *name :
         {"main-en", "main-ru", "settings-en", "settings-ru", "progress-en", "progress-ru"}) {
        const QImage picture(QStringLiteral(QUIREX_SCREENSHOT_DIR "/") + QLatin1String(name) +
                             QStringLiteral(".png"));
        EXPECT_FALSE(picture.isNull()) << name;
        EXPECT_GT(picture.width(), 200) << name;
    }
}

} // namespace

namespace
{

// quirexdesk without arguments under a real X server: the main window
// appears, a window manager's close request closes it, and the exit code is 0.
TEST(WindowModeProgram, OpensTheMainWindowAndAnswersZeroWhenItIsClosed)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb): window mode not run";
    if (QStringLiteral(QUIREX_CLOSE_TOOL).isEmpty())
        GTEST_SKIP() << "built without Xlib: nothing can close the window";
    QProcess run;
    run.setProcessEnvironment(quirex::test::xvfbEnvironment());
    // The program in the background, the close request, then its exit code.
    run.start(xvfbRun,
              {QStringLiteral("-a"), QStringLiteral("sh"), QStringLiteral("-c"),
               QStringLiteral("\"$0\" & pid=$!; \"$1\" 'Quirex Desk'; closed=$?; "
                              "wait $pid; echo \"closed=$closed exit=$?\""),
               QStringLiteral(QUIREX_BIN_DIR "/quirexdesk"), QStringLiteral(QUIREX_CLOSE_TOOL)});
    ASSERT_TRUE(run.waitForFinished(120000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_EQ(out.trimmed(), QStringLiteral("closed=0 exit=0"))
        << run.readAllStandardError().toStdString();
    // Closing stored the window's state.
    EXPECT_TRUE(QFileInfo(qEnvironmentVariable("XDG_CONFIG_HOME") +
                          QStringLiteral("/Ardenwyke/Quirex Desk/settings.ini"))
                    .isFile());
}

} // namespace
