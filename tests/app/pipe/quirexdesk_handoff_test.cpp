// The hand-off server of the real quirexdesk program, run as a child process on the offscreen
// platform with the test's own registry, runtime and log folders.
#include "handoffclient.h"
#include "handoffmessage.h"
#include "handoffstore.h"
#include "localsocket.h"
#include "testenvironment.h"
#include "toolrunner.h"
#include "waituntil.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quirex;
using namespace quirex::app;
using quirex::test::storedHandOffText;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

// The program is a child process that first loads the engine.
constexpr int kProgramWaitMs = 20000;

bool waitUntil(const std::function<bool()> &done, int ms = kProgramWaitMs)
{
    return test::waitUntil(done, ms);
}

ino_t socketInode()
{
    struct stat info {
    };
    return ::lstat(QFile::encodeName(handOffSocketPath()).constData(), &info) == 0 ? info.st_ino
                                                                                   : 0;
}

// True while the server holds an accepted connection: the system's list of local sockets then
// has a connected socket under the name the server bound (the hand-off path, or the temporary
// name it renamed into place). A connection not yet accepted is listed as connecting, and the
// client's own socket has no name.
bool serverHoldsAConnection()
{
    QFile sockets(QStringLiteral("/proc/net/unix"));
    if (!sockets.open(QIODevice::ReadOnly))
        return false;
    const QByteArray path = QFile::encodeName(handOffSocketPath());
    // Columns: Num RefCount Protocol Flags Type St Inode Path.
    for (const QByteArray &line : sockets.readAll().split('\n')) {
        const QList<QByteArray> columns = line.simplified().split(' ');
        if (columns.size() == 8 && columns[5] == "03" &&
            (columns[7] == path || columns[7].startsWith(path + '.')))
            return true;
    }
    return false;
}

// A web server that takes connections into its backlog and never answers, until it is closed:
// a page that needs it keeps the engine loading, and so a batch run going, for as long as a
// test needs; closing it resets the waiting connections and the load ends.
class StalledServer final
{
public:
    StalledServer()
    {
        m_fd.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_fd.get(), reinterpret_cast<sockaddr *>(&address), size) == 0 &&
            ::listen(m_fd.get(), 16) == 0 &&
            ::getsockname(m_fd.get(), reinterpret_cast<sockaddr *>(&address), &size) == 0)
            m_port = ntohs(address.sin_port);
    }
    int port() const { return m_port; }
    void close() { m_fd.reset(); }

private:
    platform::FileDescriptor m_fd;
    int m_port = 0;
};

// A batch conversion of one page whose image hangs on `server`.
class BatchRun final
{
public:
    explicit BatchRun(const StalledServer &server)
    {
        const QByteArray html = "<html><body><p>waiting</p><img src='http://127.0.0.1:" +
                                QByteArray::number(server.port()) + "/x.png'></body></html>";
        const QString input = test::writeFile(QStringLiteral("in/page.html"), html);
        output = test::scratchFolder() + QStringLiteral("/page.pdf");
        process.setProgram(kBin + QStringLiteral("/quirexdesk"));
        process.setArguments({input, output});
        process.start();
    }
    ~BatchRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    QString output;
    QProcess process;
};

class QuirexdeskHandOff : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        ASSERT_NE(server.port(), 0);
    }
    StalledServer server;
};

} // namespace

TEST_F(QuirexdeskHandOff, BatchRunStoresTextsRejectsOversizeAndStopsWithASilentClient)
{
    BatchRun run(server);
    ASSERT_TRUE(waitUntil([] { return socketInode() != 0; })) << "the server thread never listened";

    int error = 0;
    const platform::FileDescriptor oversized =
        platform::connectSeqPacket(handOffSocketPath(), 5000, &error);
    ASSERT_TRUE(oversized.isValid()) << error;
    ASSERT_TRUE(platform::sendMessage(
        oversized.get(), encodeHandOffMessage(QString(5000, QLatin1Char('x'))), &error));

    ASSERT_EQ(sendHandOff(QStringLiteral("\"/tmp/batch job.ini\"")), 0);
    EXPECT_TRUE(
        waitUntil([] { return storedHandOffText() == QStringLiteral("/tmp/batch job.ini"); }));
    QString longText;
    while (longText.size() < 3000)
        longText += QStringLiteral("abcdefghij");
    ASSERT_EQ(sendHandOff(longText), 0);
    EXPECT_TRUE(waitUntil([&] { return storedHandOffText() == longText; }));

    // Connected but silent when the program ends: the stop must still end the server thread,
    // which then removes its socket (a thread left running would leave it behind).
    const platform::FileDescriptor silent =
        platform::connectSeqPacket(handOffSocketPath(), 5000, &error);
    ASSERT_TRUE(silent.isValid()) << error;
    ASSERT_TRUE(waitUntil(serverHoldsAConnection)) << "the silent client was never accepted";
    server.close();
    ASSERT_TRUE(run.process.waitForFinished(60000));
    EXPECT_EQ(run.process.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(run.output));
    EXPECT_EQ(socketInode(), ino_t(0));
    const QByteArray err = run.process.readAllStandardError();
    EXPECT_EQ(err, QByteArray("error:\nmsg: pipe_srv_read_pipe_proc(): failed to ReadFile().\n"
                              "errcode: 90\nline: 101\nfile: pipe_srv\n"));
}

TEST_F(QuirexdeskHandOff, SecondProgramLeavesTheFirstOnesSocketAlone)
{
    BatchRun first(server);
    ASSERT_TRUE(waitUntil([] { return socketInode() != 0; }));
    const ino_t live = socketInode();

    const test::ToolRun second = test::runTool(
        QStringLiteral("quirexdesk"), {test::scratchFolder() + QStringLiteral("/no.html")});
    EXPECT_EQ(second.exitCode, 250) << "the missing input's -6";
    EXPECT_FALSE(second.err.contains(QStringLiteral("error:"))) << qPrintable(second.err);
    EXPECT_EQ(socketInode(), live);

    ASSERT_EQ(sendHandOff(QStringLiteral("still served")), 0);
    EXPECT_TRUE(waitUntil([] { return storedHandOffText() == QStringLiteral("still served"); }));
    server.close();
    EXPECT_TRUE(first.process.waitForFinished(60000));
}

TEST_F(QuirexdeskHandOff, SocketOfAProgramThatDiedIsReplaced)
{
    {
        BatchRun killed(server);
        ASSERT_TRUE(waitUntil([] { return socketInode() != 0; }));
    } // killed: its socket file stays behind
    const ino_t stale = socketInode();
    ASSERT_NE(stale, ino_t(0));
    // A worker the killed program was starting holds a copy of the listening socket until its
    // program replaces it (the socket closes on exec): refused from then on.
    EXPECT_TRUE(waitUntil([] { return sendHandOff(QStringLiteral("nobody")) == ECONNREFUSED; }));

    BatchRun next(server);
    ASSERT_TRUE(waitUntil([&] { return socketInode() != stale && socketInode() != 0; }));
    ASSERT_EQ(sendHandOff(QStringLiteral("replaced")), 0);
    EXPECT_TRUE(waitUntil([] { return storedHandOffText() == QStringLiteral("replaced"); }));
    server.close();
    EXPECT_TRUE(next.process.waitForFinished(60000));
}

TEST(QuirexdeskWindowHandOff, WindowModeServesAndStopsWithASilentClientWhenTheWindowCloses)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb): window mode not run";
    if (QStringLiteral(QUIREX_CLOSE_TOOL).isEmpty())
        GTEST_SKIP() << "built without Xlib: nothing can close the window";
    const QString release = test::scratchFolder() + QStringLiteral("/release");
    QProcess run;
    run.setProcessEnvironment(test::xvfbEnvironment());
    // The program in the background; once the test creates the release file, the window is
    // closed as a window manager would, and the exit code is printed.
    run.start(xvfbRun,
              {QStringLiteral("-a"), QStringLiteral("sh"), QStringLiteral("-c"),
               QStringLiteral("\"$0\" & pid=$!; while [ ! -e \"$2\" ]; do sleep 0.1; done; "
                              "\"$1\" 'Quirex Desk'; closed=$?; wait $pid; "
                              "echo \"closed=$closed exit=$?\""),
               kBin + QStringLiteral("/quirexdesk"), QStringLiteral(QUIREX_CLOSE_TOOL), release});
    ASSERT_TRUE(waitUntil([] { return socketInode() != 0; }, 60000));
    ASSERT_EQ(sendHandOff(QStringLiteral("\"/tmp/window job.ini\"")), 0);
    EXPECT_TRUE(
        waitUntil([] { return storedHandOffText() == QStringLiteral("/tmp/window job.ini"); }));

    int error = 0;
    const platform::FileDescriptor silent =
        platform::connectSeqPacket(handOffSocketPath(), 5000, &error);
    ASSERT_TRUE(silent.isValid()) << error;
    ASSERT_TRUE(waitUntil(serverHoldsAConnection)) << "the silent client was never accepted";
    test::writeFile(QStringLiteral("release"), QByteArray());
    ASSERT_TRUE(run.waitForFinished(120000));
    EXPECT_EQ(QString::fromUtf8(run.readAllStandardOutput()).trimmed(),
              QStringLiteral("closed=0 exit=0"));
    EXPECT_EQ(socketInode(), ino_t(0)) << "the server thread ended and removed its socket";
    EXPECT_FALSE(run.readAllStandardError().contains("error:"));
}
