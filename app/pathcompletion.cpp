#include "pathcompletion.h"

#include <QDir>

namespace quirex::app
{

QString completePath(const QString &path, const QString &base)
{
    const QLatin1Char slash('/');
    if (path.startsWith(slash))
        return path;
    QString rest = path;
    if (rest.startsWith(QLatin1String("./")))
        rest.remove(0, 2);

    // The root folder is the empty text: every folder is "" or "/a/b", so
    // dropping a component and joining work alike at every level.
    QString folder;
    if (base.isEmpty()) {
        folder = QDir::currentPath();
        if (folder.endsWith(slash))
            folder.chop(1);
    } else {
        folder = base.left(std::max(0, int(base.lastIndexOf(slash))));
    }
    while (rest.startsWith(QLatin1String("../"))) {
        rest.remove(0, 3);
        const int last = folder.lastIndexOf(slash);
        if (last < 0)
            return QString();
        folder.truncate(last);
    }
    return folder + slash + rest;
}

} // namespace quirex::app
