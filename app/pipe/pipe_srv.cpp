#include "pipe_srv.h"

#include "diagnostic.h"
#include "handoffmessage.h"
#include "localsocket.h"

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quirex::app
{

namespace
{

const QLatin1String kModule("pipe_srv");

// The diagnostic lines name the step of the serving loop that failed.
enum DiagnosticLine {
    kLineEvent = 30,
    kLineCreate = 59,
    kLineConnect = 70,
    kLineWaitClient = 82,
    kLineRead = 101,
    kLineWaitRead = 117,
};

void report(const char *call, int error, int line)
{
    writeDiagnostic(
        QStringLiteral("pipe_srv_read_pipe_proc(): failed to %1().").arg(QLatin1String(call)),
        error, line, kModule);
}

enum class Wait { Ready, Stop, TimedOut, Failed };

// Waits until `fd` is readable, the stop event is signalled, or `timeoutMs` (-1: no limit) has
// passed. The stop event wins when both are ready.
Wait waitReadable(int fd, int stopEvent, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int left = -1;
        if (timeoutMs >= 0) {
            const auto remaining =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            left = remaining > 0 ? int(remaining) : 0;
        }
        pollfd fds[2] = {{stopEvent, POLLIN, 0}, {fd, POLLIN, 0}};
        const int n = ::poll(fds, 2, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Wait::Failed;
        }
        if (fds[0].revents != 0)
            return Wait::Stop;
        if (fds[1].revents != 0)
            return Wait::Ready;
        if (n == 0 && left == 0)
            return Wait::TimedOut;
    }
}

bool samePeerUser(const platform::PeerCredentials &peer)
{
    return peer.uid == ::geteuid();
}

enum class Read { Message, Dropped, Stop, Failed };

// Reads the one message of `client` into `bytes` within the time-out.
Read readMessage(int client, int stopEvent, int timeoutMs, QByteArray *bytes)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray buffer(kHandOffMaxBytes, '\0');
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        switch (waitReadable(client, stopEvent, left.count() > 0 ? int(left.count()) : 0)) {
        case Wait::Stop:
            return Read::Stop;
        case Wait::Failed:
            report("WaitForMultipleObjects", errno, kLineWaitRead);
            return Read::Failed;
        case Wait::TimedOut:
            report("ReadFile", ETIMEDOUT, kLineRead);
            return Read::Dropped;
        case Wait::Ready:
            break;
        }
        iovec part{buffer.data(), size_t(buffer.size())};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        const ssize_t n = ::recvmsg(client, &message, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            report("ReadFile", errno, kLineRead);
            return Read::Dropped;
        }
        if (message.msg_flags & MSG_TRUNC) {
            report("ReadFile", EMSGSIZE, kLineRead);
            return Read::Dropped;
        }
        if (n == 0) { // the client hung up without a message
            report("ReadFile", EPIPE, kLineRead);
            return Read::Dropped;
        }
        buffer.truncate(int(n));
        *bytes = buffer;
        return Read::Message;
    }
}

} // namespace

int pipeServerThreadProc(const PipeThreadParam &param)
{
    if (param.stopEvent < 0) {
        report("CreateEvent", param.stopEventError, kLineEvent);
        return 0;
    }
    const PipeServerOptions &options = param.options;
    int error = 0;
    const QString path =
        options.socketPath.isEmpty() ? handOffSocketPath(&error) : options.socketPath;
    if (path.isEmpty()) {
        report("CreateNamedPipe", error, kLineCreate);
        return 0;
    }
    platform::SocketListener listener;
    switch (listener.listen(path)) {
    case platform::SocketListener::Outcome::Busy:
        return 0;
    case platform::SocketListener::Outcome::Failed:
        report("CreateNamedPipe", listener.error(), kLineCreate);
        return 0;
    case platform::SocketListener::Outcome::Listening:
        break;
    }
    const auto acceptPeer = options.acceptPeer ? options.acceptPeer : samePeerUser;

    for (;;) {
        switch (waitReadable(listener.fd(), param.stopEvent, -1)) {
        case Wait::Stop:
            return 0;
        case Wait::Failed:
            report("WaitForMultipleObjects", errno, kLineWaitClient);
            return 0;
        case Wait::TimedOut:
        case Wait::Ready:
            break;
        }
        platform::FileDescriptor client = platform::acceptClient(listener.fd(), &error);
        if (!client.isValid()) {
            if (error == EAGAIN || error == ECONNABORTED)
                continue; // the client left before it was taken
            report("ConnectNamedPipe", error, kLineConnect);
            // Out of descriptors: the pending client stays pending, so give the system a moment
            // instead of spinning on it.
            if ((error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM) &&
                waitReadable(param.stopEvent, param.stopEvent, 100) == Wait::Stop)
                return 0;
            continue;
        }
        platform::PeerCredentials peer;
        if (!platform::peerCredentials(client.get(), &peer, &error)) {
            report("ConnectNamedPipe", error, kLineConnect);
            continue;
        }
        if (!acceptPeer(peer)) {
            report("ConnectNamedPipe", EACCES, kLineConnect);
            continue;
        }
        QByteArray bytes;
        switch (readMessage(client.get(), param.stopEvent, options.readTimeoutMs, &bytes)) {
        case Read::Stop:
        case Read::Failed:
            return 0;
        case Read::Dropped:
            continue;
        case Read::Message:
            break;
        }
        client.reset();
        if (param.callback)
            param.callback(decodeHandOffMessage(bytes));
    }
}

} // namespace quirex::app
