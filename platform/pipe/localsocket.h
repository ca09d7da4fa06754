#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace quirex::platform
{

// Unix-domain SOCK_SEQPACKET sockets (one message per send, kept whole) for talking to another
// process of the same user. Every descriptor made here is close-on-exec, so programs we start
// never inherit a socket or the lock that marks a live server.

// An owned file descriptor, closed when it goes out of scope.
class FileDescriptor final
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor &&other) noexcept
        : m_fd(other.release())
    {
    }
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int m_fd = -1;
};

// The folder for the user's sockets: $XDG_RUNTIME_DIR when it is an absolute path, else
// "<temporary folder>/runtime-<uid>", created with mode 0700 when missing (the folder Qt itself
// would use). The fallback is refused, with EPERM, unless it is a real folder (not a link) owned
// by us with no access for others. Returns an empty string and sets *error on failure.
QString runtimeFolder(int *error = nullptr);

struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = 0;
    gid_t gid = 0;
};

// The listening end of a socket at a path, with the lock that marks it live.
//
// The lock is an flock on "<path>.lock", held for as long as the socket is served. Whoever holds
// it owns the path: a socket file found there without the lock was left by a process that died,
// and is replaced; while another process (or another listener in this one) holds it, listen()
// answers Busy and touches nothing.
class SocketListener final
{
public:
    enum class Outcome { Listening, Busy, Failed };

    SocketListener() = default;
    ~SocketListener() { close(); }
    SocketListener(const SocketListener &) = delete;
    SocketListener &operator=(const SocketListener &) = delete;

    // Binds and listens at `path` with mode 0600. The socket is bound under a temporary name,
    // made private and then renamed into place, so the path never names a socket that others
    // could reach or that is not yet listening. On Failed, error() holds errno.
    Outcome listen(const QString &path, int backlog = 16);
    int fd() const { return m_socket.get(); }
    int error() const { return m_error; }
    // Removes the socket file (while the lock is still held) and releases the lock.
    void close();

private:
    FileDescriptor m_socket;
    FileDescriptor m_lock;
    QByteArray m_path;
    int m_error = 0;
};

// Accepts one pending client: a non-blocking, close-on-exec descriptor, or an invalid one with
// *error set.
FileDescriptor acceptClient(int listenFd, int *error);

// The peer's process, user and group ids as the kernel recorded them at connect (SO_PEERCRED).
bool peerCredentials(int fd, PeerCredentials *credentials, int *error);

// Connects a blocking client to the socket at `path`, waiting at most `timeoutMs` for a place in
// the server's backlog; sends on the result time out after the same time.
FileDescriptor connectSeqPacket(const QString &path, int timeoutMs, int *error);

// Sends `bytes` as one message. False with *error set when it cannot be sent whole.
bool sendMessage(int fd, const QByteArray &bytes, int *error);

} // namespace quirex::platform
