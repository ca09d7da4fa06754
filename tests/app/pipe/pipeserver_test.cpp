// The hand-off server with real sockets, in this process: the program's server thread with a
// stand-in main window, and the thread routine alone where only the socket matters.
#include "applog.h"
#include "handoffcallback.h"
#include "handoffclient.h"
#include "handoffmessage.h"
#include "handoffreceiver.h"
#include "handoffstore.h"
#include "localsocket.h"
#include "pipeserverthread.h"
#include "registry.h"
#include "stopevent.h"
#include "testenvironment.h"
#include "waituntil.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quirex;
using namespace quirex::app;
using namespace std::chrono_literals;
using quirex::test::pumpUntil;
using quirex::test::storedHandOffText;
using quirex::test::waitUntil;

namespace
{

class TestWindow final : public QObject, public HandOffReceiver
{
public:
    void receiveHandOff(const QString &text) override { texts.append(text); }
    QStringList texts;
};

// True once the server thread's blocking call to the window is posted to this thread, which
// is when the server thread begins to wait for it: nothing else posts events to this thread
// while these tests wait without running its events (they check none is pending before).
bool handOffWaitsForThisThread()
{
    return QAbstractEventDispatcher::instance()->hasPendingEvents();
}

// Collects what is written to the standard error stream while it lives.
class StderrCapture final
{
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_path = test::scratchFolder() + QStringLiteral("/stderr.txt");
        m_saved = ::dup(2);
        const int fd = ::open(QFile::encodeName(m_path).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }
    QByteArray text() const
    {
        std::fflush(stderr);
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QString m_path;
    int m_saved = -1;
};

QByteArray pipeDiagnostic(const char *call, int error, int line)
{
    return QByteArray("error:\nmsg: pipe_srv_read_pipe_proc(): failed to ") + call +
           "().\nerrcode: " + QByteArray::number(error) + "\nline: " + QByteArray::number(line) +
           "\nfile: pipe_srv\n";
}

platform::FileDescriptor connectRaw()
{
    int error = 0;
    return platform::connectSeqPacket(handOffSocketPath(), 2000, &error);
}

bool sendRaw(const QByteArray &bytes)
{
    const platform::FileDescriptor socket = connectRaw();
    int error = 0;
    return socket.isValid() && platform::sendMessage(socket.get(), bytes, &error);
}

bool socketExists()
{
    return QFile::exists(handOffSocketPath());
}

ino_t socketInode()
{
    struct stat info {
    };
    return ::lstat(QFile::encodeName(handOffSocketPath()).constData(), &info) == 0 ? info.st_ino
                                                                                   : 0;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

// The program's server thread with a main window attached.
class HandOffServer : public testing::Test
{
protected:
    void start(const PipeServerOptions &options = PipeServerOptions())
    {
        server.callback().setReceiver(&window);
        ASSERT_TRUE(server.start(options));
        ASSERT_TRUE(pumpUntil(socketExists));
    }
    // Sends `text` and waits until the window has it.
    void handOff(const QString &text)
    {
        const int before = window.texts.size();
        ASSERT_EQ(sendHandOff(text), 0);
        ASSERT_TRUE(pumpUntil([&] { return window.texts.size() > before; }));
    }

    TestWindow window;
    PipeServerThread server;
};

} // namespace

TEST_F(HandOffServer, QuotedPathIsStoredBareAndReachesTheWindowQuoted)
{
    start();
    const QString quoted = QStringLiteral("\"/tmp/Отчёт 2026/job.ini\"");
    handOff(quoted);
    EXPECT_EQ(window.texts, QStringList{quoted});
    EXPECT_EQ(storedHandOffText(), QStringLiteral("/tmp/Отчёт 2026/job.ini"));

    // Only the user may reach the socket.
    struct stat info {
    };
    ASSERT_EQ(::lstat(QFile::encodeName(handOffSocketPath()).constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_TRUE(server.stop());
    EXPECT_FALSE(socketExists()) << "a clean stop leaves no socket behind";
}

TEST_F(HandOffServer, LongTextReachesTheRegistryWholeAndTheWindowCut)
{
    start();
    QString text;
    for (int i = 0; text.size() < 3000; ++i)
        text += QString::number(i % 10);
    handOff(text);
    EXPECT_EQ(storedHandOffText(), text);
    ASSERT_EQ(window.texts.size(), 1);
    EXPECT_EQ(window.texts.first(), text.left(2047));

    // The largest message accepted: 4096 characters.
    const QString largest(4096, QLatin1Char('w'));
    handOff(largest);
    EXPECT_EQ(storedHandOffText(), largest);
}

TEST_F(HandOffServer, OversizedMessageIsRejectedAndTheNextClientServed)
{
    StderrCapture err;
    start();
    const QString tooLong(5000, QLatin1Char('x'));
    EXPECT_EQ(sendHandOff(tooLong), EMSGSIZE) << "the client refuses it before sending";
    ASSERT_TRUE(sendRaw(encodeHandOffMessage(tooLong)));
    handOff(QStringLiteral("next.ini"));
    EXPECT_EQ(window.texts, QStringList{QStringLiteral("next.ini")});
    EXPECT_EQ(storedHandOffText(), QStringLiteral("next.ini"));
    EXPECT_EQ(err.text(), pipeDiagnostic("ReadFile", EMSGSIZE, 101));
}

TEST_F(HandOffServer, SilentClientIsDroppedAfterTheTimeOutAndTheNextServed)
{
    StderrCapture err;
    PipeServerOptions options;
    options.readTimeoutMs = 300;
    start(options);
    const platform::FileDescriptor silent = connectRaw();
    ASSERT_TRUE(silent.isValid());
    QElapsedTimer timer;
    timer.start();
    handOff(QStringLiteral("after silence"));
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_EQ(window.texts, QStringList{QStringLiteral("after silence")});
    EXPECT_EQ(err.text(), pipeDiagnostic("ReadFile", ETIMEDOUT, 101));
}

TEST_F(HandOffServer, StopEndsTheThreadWhileASilentClientIsConnected)
{
    PipeServerOptions options;
    std::atomic<bool> accepted{false};
    options.acceptPeer = [&accepted](const platform::PeerCredentials &) {
        accepted = true;
        return true;
    };
    start(options);
    const platform::FileDescriptor silent = connectRaw();
    ASSERT_TRUE(silent.isValid());
    // Accepted: the server now waits for the message.
    ASSERT_TRUE(waitUntil([&] { return bool(accepted); }));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(server.stop());
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(server.isRunning());
}

TEST_F(HandOffServer, StopNeverDeadlocksWithAHandOffWaitingForTheWindowThread)
{
    start();
    // The window's thread is busy (no event loop runs): the server thread writes the registry
    // and then blocks on the window's thread, exactly when that thread begins the stop.
    QCoreApplication::processEvents();
    ASSERT_FALSE(handOffWaitsForThisThread()) << "an event of the start is still pending";
    ASSERT_EQ(sendHandOff(QStringLiteral("during shutdown")), 0);
    ASSERT_TRUE(waitUntil(handOffWaitsForThisThread));
    EXPECT_EQ(storedHandOffText(), QStringLiteral("during shutdown"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(server.stop());
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(window.texts.isEmpty()) << "a window being shut down gets no more texts";
}

TEST_F(HandOffServer, WindowDestroyedWhileAHandOffIsOnItsWayGetsNothing)
{
    auto *doomed = new TestWindow;
    server.callback().setReceiver(doomed);
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(pumpUntil(socketExists));
    QCoreApplication::processEvents();
    ASSERT_FALSE(handOffWaitsForThisThread()) << "an event of the start is still pending";
    ASSERT_EQ(sendHandOff(QStringLiteral("late")), 0);
    ASSERT_TRUE(waitUntil(handOffWaitsForThisThread));
    delete doomed;
    // The blocked hand-off runs, finds no window, and so releases the server thread.
    server.callback().deliverPending();
    server.callback().setReceiver(&window);
    handOff(QStringLiteral("to the new window"));
    EXPECT_EQ(window.texts, QStringList{QStringLiteral("to the new window")});
}

TEST_F(HandOffServer, PeerOfAnotherUserIsRefused)
{
    StderrCapture err;
    PipeServerOptions options;
    std::atomic<int> peers{0};
    // The first peer is taken for another user; the test cannot change its own user id.
    options.acceptPeer = [&peers](const platform::PeerCredentials &peer) {
        EXPECT_EQ(peer.uid, ::geteuid());
        EXPECT_EQ(peer.pid, ::getpid());
        return peers++ > 0;
    };
    start(options);
    // The refusal may close the connection before or after the message is written.
    const int intruder = sendHandOff(QStringLiteral("intruder.ini"));
    EXPECT_TRUE(intruder == 0 || intruder == EPIPE || intruder == ECONNRESET) << intruder;
    handOff(QStringLiteral("own.ini"));
    EXPECT_EQ(window.texts, QStringList{QStringLiteral("own.ini")});
    EXPECT_EQ(storedHandOffText(), QStringLiteral("own.ini"));
    EXPECT_EQ(err.text(), pipeDiagnostic("ConnectNamedPipe", EACCES, 70));
}

// Connects to the hand-off socket from a child process running as user `uid` and sends a
// message. The child's exit code: 0 connected, 1 refused with EACCES, 2 anything else.
static int connectAsUser(uid_t uid)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(handOffSocketPath());
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const QByteArray message = encodeHandOffMessage(QStringLiteral("intruder.ini"));
    // Only system calls after the fork: this process has other threads.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(uid) != 0 || ::setuid(uid) != 0)
            ::_exit(2);
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            ::_exit(errno == EACCES ? 1 : 2);
        // The server may already have dropped us: what it did is seen on its side.
        ::send(fd, message.constData(), size_t(message.size()), MSG_NOSIGNAL);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

TEST_F(HandOffServer, AnotherUserCannotReachTheSocketNorBeServedThroughIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a client under another user id";
    StderrCapture err;
    start();
    const uid_t nobody = 65534;
    EXPECT_EQ(connectAsUser(nobody), 1) << "mode 0600 keeps other users out";

    // Even through a socket opened up by mistake, the peer check drops them.
    for (const QString &folder : {test::scratchFolder(), qEnvironmentVariable("XDG_RUNTIME_DIR")})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0711), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(handOffSocketPath()).constData(), 0666), 0);
    EXPECT_EQ(connectAsUser(nobody), 0);
    handOff(QStringLiteral("own.ini"));
    EXPECT_EQ(window.texts, QStringList{QStringLiteral("own.ini")});
    EXPECT_EQ(storedHandOffText(), QStringLiteral("own.ini"));
    EXPECT_EQ(err.text(), pipeDiagnostic("ConnectNamedPipe", EACCES, 70));
}

TEST_F(HandOffServer, StaleSocketIsReplacedButALiveOneNeverStolen)
{
    // A socket file left by a server that died: bound, never served, its process gone.
    {
        platform::FileDescriptor dead(::socket(AF_UNIX, SOCK_SEQPACKET, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(handOffSocketPath());
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        ASSERT_EQ(::bind(dead.get(), reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    }
    ASSERT_TRUE(socketExists());
    EXPECT_EQ(sendHandOff(QStringLiteral("nobody")), ECONNREFUSED);
    const ino_t stale = socketInode();

    start();
    ASSERT_TRUE(pumpUntil([&] { return socketInode() != stale; }));
    handOff(QStringLiteral("first"));
    const ino_t live = socketInode();

    // A second server, as a second program would start, finds the first one serving.
    StderrCapture err;
    TestWindow secondWindow;
    PipeServerThread second;
    second.callback().setReceiver(&secondWindow);
    ASSERT_TRUE(second.start());
    ASSERT_TRUE(pumpUntil([&] { return !second.isRunning(); }));
    EXPECT_TRUE(second.stop());
    EXPECT_EQ(err.text(), QByteArray()) << "going on without a server is no failure";
    EXPECT_EQ(socketInode(), live);
    handOff(QStringLiteral("still the first"));
    EXPECT_EQ(window.texts,
              (QStringList{QStringLiteral("first"), QStringLiteral("still the first")}));
    EXPECT_TRUE(secondWindow.texts.isEmpty());
}

TEST(HandOffBatch, WithoutAWindowOnlyTheRegistryIsWritten)
{
    // No event loop runs here, as in a batch conversion: nothing may wait for this thread.
    PipeServerThread server;
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(waitUntil(socketExists));
    for (const QString &text : {QStringLiteral("\"one.ini\""), QStringLiteral("two.ini")}) {
        ASSERT_EQ(sendHandOff(text), 0);
        const QString expected = handOffRegistryText(text);
        EXPECT_TRUE(waitUntil([&] { return storedHandOffText() == expected; }))
            << qPrintable(storedHandOffText());
    }
    EXPECT_TRUE(server.stop());
}

TEST(HandOffBatch, BrokenUtf16NeverDamagesTheRegistry)
{
    platform::Registry registry;
    ASSERT_TRUE(registry.setString(QStringLiteral("Other"), QStringLiteral("kept"), "yes"));
    HandOffCallback callback;
    // An unpaired surrogate cannot be written as UTF-8 as it stands.
    const QString broken = QStringLiteral("a") + QChar(0xd800) + QStringLiteral("b\u0001\"");
    EXPECT_EQ(callback.handOff(broken), 0);
    const QString stored = storedHandOffText();
    EXPECT_TRUE(stored.startsWith(QLatin1Char('a')) && stored.endsWith(QStringLiteral("b\u0001")))
        << qPrintable(stored);
    EXPECT_EQ(registry.stringValue(QStringLiteral("Other"), QStringLiteral("kept")), "yes");
    EXPECT_FALSE(QFile::exists(registry.path() + QStringLiteral(".corrupt")));
}

TEST(HandOffBatch, UnusableRegistryIsLoggedAndNothingHandedOn)
{
    const QString log = test::makeFolder(QStringLiteral("log"));
    qputenv("QUIREX_LOG_DIR", QFile::encodeName(log));
    logStart();
    // A registry below a plain file can be neither read nor created.
    const QString blocker = test::writeFile(QStringLiteral("blocker"), "file");
    HandOffCallback callback(blocker + QStringLiteral("/registry.ini"));
    TestWindow window;
    callback.setReceiver(&window);
    EXPECT_EQ(callback.handOff(QStringLiteral("x.ini")), -1);
    EXPECT_TRUE(window.texts.isEmpty());
    QFile file(log + QStringLiteral("/log.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith("\r\n\r\npipe_callback 1\n"));
}

TEST(HandOffSocket, ThousandClientsInARowLeakNoDescriptor)
{
    platform::StopEvent stop;
    std::atomic<int> received{0};
    PipeThreadParam param;
    param.stopEvent = stop.fd();
    param.callback = [&received](const QString &text) {
        received += text == QStringLiteral("ping") ? 1 : 1000000;
        return 0;
    };
    std::thread thread([&param] { pipeServerThreadProc(param); });
    ASSERT_TRUE(waitUntil(socketExists)) << "the server thread never listened";

    const int before = openDescriptors();
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(sendHandOff(QStringLiteral("ping")), 0) << "client " << i;
    EXPECT_TRUE(waitUntil([&] { return received >= 1000; }, 30000));
    EXPECT_EQ(received, 1000);
    EXPECT_EQ(openDescriptors(), before);

    stop.signal();
    thread.join();
    EXPECT_FALSE(socketExists());
    EXPECT_EQ(sendHandOff(QStringLiteral("gone")), ENOENT);
}

TEST(HandOffSocket, FailuresToCreateTheEventOrTheSocketEndTheThreadWithTheirDiagnostics)
{
    StderrCapture err;
    PipeThreadParam param;
    param.stopEventError = EMFILE;
    EXPECT_EQ(pipeServerThreadProc(param), 0);

    platform::StopEvent stop;
    param.stopEvent = stop.fd();
    param.options.socketPath =
        test::writeFile(QStringLiteral("plain"), "x") + QStringLiteral("/socket");
    EXPECT_EQ(pipeServerThreadProc(param), 0);
    EXPECT_EQ(err.text(), pipeDiagnostic("CreateEvent", EMFILE, 30) +
                              pipeDiagnostic("CreateNamedPipe", ENOTDIR, 59));
}
