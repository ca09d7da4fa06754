#include "folderscan.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace quirex::app::ui
{

namespace
{

bool scan(const QString &folder, const QString &mask, bool recursive, const FoundFile &found,
          QSet<QString> &visited)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return true;
    visited.insert(canonical);

    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList({mask}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &file : files) {
        QString path = folder + QLatin1Char('/') + file.fileName();
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
        if (!found(path))
            return false;
    }
    if (!recursive)
        return true;
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo &sub : folders) {
        QString path = folder + QLatin1Char('/') + sub.fileName();
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
        if (!scan(path, mask, true, found, visited))
            return false;
    }
    return true;
}

} // namespace

const QStringList &folderScanMasks()
{
    static const QStringList masks{QStringLiteral("*.txt"), QStringLiteral("*.htm"),
                                   QStringLiteral("*.html"), QStringLiteral("*.shtml"),
                                   QStringLiteral("*.mht")};
    return masks;
}

bool scanFolder(const QString &folder, const QString &mask, bool recursive, const FoundFile &found)
{
    QSet<QString> visited;
    return scan(folder, mask, recursive, found, visited);
}

bool scanFolderAllMasks(const QString &folder, bool recursive, const FoundFile &found)
{
    for (const QString &mask : folderScanMasks())
        if (!scanFolder(folder, mask, recursive, found))
            return false;
    return true;
}

bool isSupportedInputName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("htm") || suffix == QLatin1String("html") ||
           suffix == QLatin1String("shtml") || suffix == QLatin1String("txt");
}

} // namespace quirex::app::ui
