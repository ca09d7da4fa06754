#include "helpviewer.h"

#include "messagebox.h"
#include "shellopen.h"
#include "userfolders.h"
#include "stringids.h"
#include "stringtable.h"

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

bool openHelp(const QString &helpFilePath, const QString &topic)
{
    const QFileInfo helpFile(helpFilePath);
    if (helpFilePath.isEmpty() || !helpFile.exists() || !helpFile.isReadable()) {
        formattedErrorBox(strings::HelpMissing, helpFile.absoluteFilePath(), strings::ErrorTitle);
        return false;
    }
    platform::shellOpen(helpPagePath(helpFile.absoluteFilePath(), topic), 0);
    return true;
}

} // namespace quirex::app
