#include "localfile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::engine
{

LocalFile LocalFile::resolve(const QString &path)
{
    LocalFile file;
    if (path.isEmpty() || QDir::isRelativePath(path) || path.contains(QChar(0)))
        return file;
    char resolved[PATH_MAX];
    // realpath() walks the path as open() would: a link is followed before the ".." after it.
    if (!::realpath(QFile::encodeName(path).constData(), resolved))
        return file;
    struct stat status;
    if (::lstat(resolved, &status) != 0)
        return file;
    file.path = QFile::decodeName(resolved);
    file.kind = S_ISREG(status.st_mode) ? Kind::Regular : Kind::Other;
    file.device = status.st_dev;
    file.inode = status.st_ino;
    return file;
}

int openResolved(const LocalFile &file)
{
    if (!file.isRegular()) {
        errno = ENOENT;
        return -1;
    }
    // O_NONBLOCK: a pipe put in the file's place does not wait for a writer. The resolved path
    // has no link but the last component could have become one since: O_NOFOLLOW refuses it.
    const int descriptor = ::open(QFile::encodeName(file.path).constData(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_dev != file.device || status.st_ino != file.inode) {
        ::close(descriptor);
        errno = ENOENT;
        return -1;
    }
    return descriptor;
}

} // namespace quirex::engine
