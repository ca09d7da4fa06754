#include "atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::platform
{

namespace
{

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The folder of `path` synced, so that a rename survives a crash. Failures
// are ignored: some file systems refuse fsync on folders.
void syncFolderOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(const QString &target, Replace replace)
    : m_target(target)
    , m_replace(replace)
{
}

AtomicFile::~AtomicFile()
{
    abandon();
}

bool AtomicFile::fail(const QString &what, int error)
{
    m_error = error ? QStringLiteral("%1: %2").arg(what, systemError(error)) : what;
    return false;
}

bool AtomicFile::open()
{
    abandon();
    m_error.clear();
    if (m_target.isEmpty())
        return fail(QStringLiteral("no file name given"), 0);
    const QFileInfo info(m_target);
    if (info.fileName().isEmpty())
        return fail(QStringLiteral("%1 names a folder, not a file").arg(m_target), 0);
    // A name near the length limit gets a short temporary name instead.
    const QString name = QFile::encodeName(info.fileName()).size() > 200 ? QStringLiteral("atomic")
                                                                         : info.fileName();
    const QString stem = info.absolutePath() + QLatin1String("/.") + name + QLatin1Char('.');
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        const QString path = stem + QString::number(QRandomGenerator::global()->generate(), 36) +
                             QLatin1String(".part");
        // Private until commit() gives it its final mode.
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            m_fd = fd;
            m_temporaryPath = path;
            return true;
        }
        error = errno;
    }
    return fail(QStringLiteral("cannot create a file beside %1").arg(m_target), error);
}

bool AtomicFile::write(const QByteArray &bytes)
{
    if (m_fd < 0)
        return fail(QStringLiteral("%1 is not open for writing").arg(m_target), 0);
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(QStringLiteral("cannot write %1").arg(m_target), written < 0 ? errno : EIO);
        data += written;
        left -= written;
    }
    return true;
}

bool AtomicFile::putInPlace(const QByteArray &from, const QByteArray &to)
{
    if (m_replace == Replace::Existing)
        return ::rename(from.constData(), to.constData()) == 0;
    // A hard link never replaces what is at the target; the temporary name
    // goes afterwards.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

bool AtomicFile::commit()
{
    if (m_fd < 0)
        return fail(QStringLiteral("%1 is not open for writing").arg(m_target), 0);
    m_error.clear();
    const QByteArray target = QFile::encodeName(m_target);
    struct stat existing {
    };
    mode_t mode = m_newFileMode & ~currentUmask() & 0777;
    if (::stat(target.constData(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            abandon();
            return fail(QStringLiteral("%1 is a folder").arg(m_target), 0);
        }
        if (m_replace == Replace::Never) {
            abandon();
            return fail(QStringLiteral("%1 exists").arg(m_target), 0);
        }
        // The replaced file's permissions, never its set-id bits: a copy of
        // a privileged program's mode must not make the new file one.
        mode = existing.st_mode & 01777;
    }
    if (::fchmod(m_fd, mode) != 0 || ::fsync(m_fd) != 0) {
        const int error = errno;
        abandon();
        return fail(QStringLiteral("cannot finish writing %1").arg(m_target), error);
    }
    const int closed = ::close(m_fd);
    const int closeError = errno;
    m_fd = -1;
    if (closed != 0) {
        abandon();
        return fail(QStringLiteral("cannot finish writing %1").arg(m_target), closeError);
    }
    if (!putInPlace(QFile::encodeName(m_temporaryPath), target)) {
        const int error = errno;
        abandon();
        return fail(QStringLiteral("cannot put %1 in place").arg(m_target), error);
    }
    m_temporaryPath.clear();
    syncFolderOf(target);
    return true;
}

void AtomicFile::abandon()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporaryPath.isEmpty())
        ::unlink(QFile::encodeName(m_temporaryPath).constData());
    m_temporaryPath.clear();
}

} // namespace quirex::platform
