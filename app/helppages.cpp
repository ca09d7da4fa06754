#include "helppages.h"

#include "stringids.h"
#include "stringtable.h"
#include "userfolders.h"

#include <QFileInfo>

namespace quirex::app
{

QString defaultHelpFilePath()
{
    return platform::programFolder() + QStringLiteral("/help/index.html");
}

QString helpPagePath(const QString &helpFilePath, const QString &topic)
{
    if (topic.isEmpty())
        return helpFilePath;
    const QString page = QFileInfo(helpFilePath).path() + QLatin1Char('/') +
                         loadText(strings::HelpFolder) + QLatin1Char('/') + topic;
    return QFileInfo(page).isReadable() ? page : helpFilePath;
}

} // namespace quirex::app
