#include "outputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::engine
{

QString createFileBeside(const QString &target, const QString &suffix)
{
    const QFileInfo info(target);
    const QString stem =
        info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.');
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path =
            stem + QString::number(QRandomGenerator::global()->generate(), 36) + suffix;
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool keepPermissionsOf(const QString &target, const QString &replacement)
{
    struct stat existing {
    };
    if (::stat(QFile::encodeName(target).constData(), &existing) != 0)
        return errno == ENOENT;
    return ::chmod(QFile::encodeName(replacement).constData(), existing.st_mode & 07777) == 0;
}

} // namespace quirex::engine
