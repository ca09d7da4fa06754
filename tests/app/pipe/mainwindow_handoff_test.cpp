// The hand-off reaching the real main window through the socket and the server thread.
#include "converter.h"
#include "handoffclient.h"
#include "handoffmessage.h"
#include "handoffstore.h"
#include "maindlg.h"
#include "pipeserverthread.h"
#include "progressdlg.h" // maindlg.h needs it for its QPointer
#include "settingsstore.h"
#include "testenvironment.h"
#include "waituntil.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quirex;
using namespace quirex::app;
using quirex::test::pumpUntil;
using quirex::test::storedHandOffText;

namespace
{

// Counts the calls the server thread makes into `callback`'s thread; each has run once the event
// that carries it has been delivered.
class CallCounter final : public QObject
{
public:
    explicit CallCounter(QObject *callback) { callback->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall)
            ++calls;
        return false;
    }
    int calls = 0;
};

class MainWindowHandOff : public testing::Test
{
protected:
    void SetUp() override
    {
        server.callback().setReceiver(&window);
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(pumpUntil([] { return QFile::exists(handOffSocketPath()); }));
    }

    CConverter converter;
    SettingsStore store{QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk")};
    ui::CMainDlg window{converter, store};
    PipeServerThread server;
};

} // namespace

TEST_F(MainWindowHandOff, WindowKeepsTheTextAsSentAndAtMost2047Characters)
{
    const QString quoted = QStringLiteral("\"/tmp/my jobs/job.ini\"");
    ASSERT_EQ(sendHandOff(quoted), 0);
    ASSERT_TRUE(pumpUntil([&] { return window.lastHandOffText() == quoted; }));
    EXPECT_EQ(storedHandOffText(), QStringLiteral("/tmp/my jobs/job.ini"));

    QString text;
    while (text.size() < 3000)
        text += QStringLiteral("0123456789");
    text.truncate(3000);
    ASSERT_EQ(sendHandOff(text), 0);
    ASSERT_TRUE(pumpUntil([&] { return window.lastHandOffText().size() == 2047; }));
    EXPECT_EQ(window.lastHandOffText(), text.left(2047));
    EXPECT_EQ(storedHandOffText(), text);
}

TEST_F(MainWindowHandOff, TextArrivingDuringARunIsKeptOnlyWhenTheRunEnds)
{
    // Three inputs and an output folder that does not exist: the run reports each input and
    // pumps events between them, which is where the hand-off arrives.
    const QString input = test::writeFile(QStringLiteral("in/a.html"), "<p>a</p>");
    window.addFiles({input, test::writeFile(QStringLiteral("in/b.html"), "<p>b</p>"),
                     test::writeFile(QStringLiteral("in/c.html"), "<p>c</p>")});
    window.setOutputFolder(test::scratchFolder() + QStringLiteral("/missing"));

    bool handed = false;
    QString duringRun = QStringLiteral("unset");
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (handed || !window.isRunning())
            return;
        handed = true;
        CallCounter delivered(&server.callback());
        ASSERT_EQ(sendHandOff(QStringLiteral("during the run")), 0);
        // The blocked hand-off is delivered here, inside the run's event pump.
        ASSERT_TRUE(pumpUntil([&] { return delivered.calls > 0; }));
        EXPECT_EQ(storedHandOffText(), QStringLiteral("during the run"));
        duringRun = window.lastHandOffText();
    });
    probe.start();
    window.onConvert();
    probe.stop();

    ASSERT_TRUE(handed);
    EXPECT_EQ(duringRun, QString()) << "the run was still under way";
    EXPECT_FALSE(window.isRunning());
    EXPECT_EQ(window.lastHandOffText(), QStringLiteral("during the run"));
}
