#include "logfolder.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace quirex::platform
{

QString logFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("QUIREX_LOG_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir::homePath() + QStringLiteral("/.local/state/quirex");
}

bool openLogFile(QFile &file, const QString &name, LogOpenMode mode)
{
    const QByteArray path = QFile::encodeName(logFolder() + QLatin1Char('/') + name);
    int flags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC;
    if (mode != LogOpenMode::AppendExisting)
        flags |= O_CREAT;
    flags |= mode == LogOpenMode::Truncate ? O_TRUNC : O_APPEND;
    const int fd = ::open(path.constData(), flags, 0600);
    if (fd < 0)
        return false;
    if (!file.open(fd,
                   QIODevice::WriteOnly |
                       (mode != LogOpenMode::Truncate ? QIODevice::Append : QIODevice::NotOpen),
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace quirex::platform
