#include "localsocket.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quirex::platform
{

FileDescriptor &FileDescriptor::operator=(FileDescriptor &&other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

int FileDescriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void FileDescriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

namespace
{

void setError(int *error, int value)
{
    if (error)
        *error = value;
}

// Fills `address` with `path`; false (ENAMETOOLONG) when it does not fit.
bool makeAddress(const QByteArray &path, sockaddr_un *address)
{
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address->sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

timeval toTimeval(int ms)
{
    timeval t{};
    t.tv_sec = ms / 1000;
    t.tv_usec = (ms % 1000) * 1000;
    return t;
}

} // namespace

QString runtimeFolder(int *error)
{
    const QString configured = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (configured.startsWith(QLatin1Char('/')))
        return configured;
    const QString folder =
        QDir::tempPath() + QStringLiteral("/runtime-") + QString::number(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        setError(error, errno);
        return QString();
    }
    struct stat info {
    };
    if (::lstat(path.constData(), &info) != 0) {
        setError(error, errno);
        return QString();
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 0077) != 0) {
        setError(error, EPERM);
        return QString();
    }
    return folder;
}

SocketListener::Outcome SocketListener::listen(const QString &path, int backlog)
{
    close();
    m_error = 0;
    const QByteArray target = QFile::encodeName(path);
    const QByteArray lockPath = target + ".lock";
    const QByteArray temporary = target + ".new-" + QByteArray::number(::getpid());
    sockaddr_un address{};
    if (!makeAddress(temporary, &address)) {
        m_error = errno;
        return Outcome::Failed;
    }

    FileDescriptor lock(
        ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.isValid()) {
        m_error = errno;
        return Outcome::Failed;
    }
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        m_error = errno;
        return errno == EWOULDBLOCK ? Outcome::Busy : Outcome::Failed;
    }

    FileDescriptor socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.isValid()) {
        m_error = errno;
        return Outcome::Failed;
    }
    ::unlink(temporary.constData()); // left by an earlier process with our pid
    if (::bind(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        m_error = errno;
        return Outcome::Failed;
    }
    // A stale socket left at the target by a dead server is replaced by the rename.
    if (::chmod(temporary.constData(), 0600) != 0 || ::listen(socket.get(), backlog) != 0 ||
        ::rename(temporary.constData(), target.constData()) != 0) {
        m_error = errno;
        ::unlink(temporary.constData());
        return Outcome::Failed;
    }
    m_socket = std::move(socket);
    m_lock = std::move(lock);
    m_path = target;
    return Outcome::Listening;
}

void SocketListener::close()
{
    if (!m_socket.isValid())
        return;
    ::unlink(m_path.constData());
    m_socket.reset();
    m_lock.reset();
    m_path.clear();
}

FileDescriptor acceptClient(int listenFd, int *error)
{
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0)
            return FileDescriptor(fd);
        if (errno != EINTR) {
            setError(error, errno);
            return FileDescriptor();
        }
    }
}

bool peerCredentials(int fd, PeerCredentials *credentials, int *error)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
        setError(error, errno);
        return false;
    }
    credentials->pid = peer.pid;
    credentials->uid = peer.uid;
    credentials->gid = peer.gid;
    return true;
}

FileDescriptor connectSeqPacket(const QString &path, int timeoutMs, int *error)
{
    sockaddr_un address{};
    if (!makeAddress(QFile::encodeName(path), &address)) {
        setError(error, errno);
        return FileDescriptor();
    }
    FileDescriptor socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (!socket.isValid()) {
        setError(error, errno);
        return FileDescriptor();
    }
    // A Unix-domain connect waits for room in the backlog for at most the send time-out.
    const timeval limit = toTimeval(timeoutMs);
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    while (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) !=
           0) {
        if (errno == EISCONN) // an interrupted connect that completed meanwhile
            break;
        if (errno != EINTR) {
            setError(error, errno);
            return FileDescriptor();
        }
    }
    return socket;
}

bool sendMessage(int fd, const QByteArray &bytes, int *error)
{
    for (;;) {
        const ssize_t sent = ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
        if (sent == bytes.size())
            return true;
        if (sent >= 0) {
            setError(error, EMSGSIZE);
            return false;
        }
        if (errno != EINTR) {
            setError(error, errno);
            return false;
        }
    }
}

} // namespace quirex::platform
