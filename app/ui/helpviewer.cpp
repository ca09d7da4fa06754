#include "helpviewer.h"

#include "messagebox.h"
#include "shellopen.h"
#include "stringids.h"

#include <QFileInfo>

namespace quirex::app::ui
{

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

} // namespace quirex::app::ui
