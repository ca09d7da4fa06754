#pragma once

#include <QString>

class QFile;

namespace quirex::platform
{

// The folder that holds the log files: $QUIREX_LOG_DIR when set, else
// ~/.local/state/quirex. It is never created: without it there is no log.
QString logFolder();

// Truncate and Append create a missing file; AppendExisting does not, so a log
// deleted while the program runs stays deleted.
enum class LogOpenMode { Truncate, Append, AppendExisting };

// Opens (creating with mode 0600) the file `name` inside logFolder() for
// writing without following a symbolic link at that name. Returns false and
// leaves `file` closed when the folder is missing, not writable, or the name
// is a symbolic link.
bool openLogFile(QFile &file, const QString &name, LogOpenMode mode);

} // namespace quirex::platform
