#include "helppages.h"

#include "stringids.h"
#include "stringtable.h"
#include "userfolders.h"

#include <QDir>
#include <QFileInfo>

namespace quirex::app
{

QString defaultHelpFilePath()
{
    // A build keeps the help beside the program; an installation keeps it in the data folder
    // of the prefix the program is installed under.
    const QString program = platform::programFolder();
    const QString beside = program + QStringLiteral("/help/index.html");
    const QString installed =
        QDir::cleanPath(program + QStringLiteral("/../share/quirex/help/index.html"));
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
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
