#include "userfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>

#include <cerrno>

namespace quirex::platform
{

namespace
{

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

QString roamingAppDataFolder(bool create)
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The base-directory rules say a relative value is to be ignored.
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
        const QString home = QDir::homePath();
        if (home.isEmpty() || home == QDir::rootPath())
            return QString();
        folder = home + QStringLiteral("/.config");
    }
    folder = QDir::cleanPath(folder);
    if (create && !makePrivateFolders(folder))
        return QString();
    return folder;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return isFolder(documents) ? QDir::cleanPath(documents) : QDir::homePath();
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.symLinkTarget().isEmpty() ? QString()
                                          : QFileInfo(self.symLinkTarget()).absolutePath();
}

bool makePrivateFolders(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (isFolder(clean))
        return true;
    const QString parent = QFileInfo(clean).path();
    if (parent != clean && !makePrivateFolders(parent))
        return false;
    if (::mkdir(QFile::encodeName(clean).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return isFolder(clean);
}

} // namespace quirex::platform
