#pragma once

#include <QString>
#include <QStringList>

namespace quirex::platform
{

// Results of shellOpen, read as the Windows shell's: above 32 is success.
enum ShellResult : int {
    ShellFileNotFound = 2,
    ShellNoAssociation = 31,
    ShellOpened = 42,
};

// The program and its arguments that open `path` with the user's preferred
// application: `xdg-open`, or the program named by $QUIREX_OPEN_COMMAND when
// set (one program name or path, never split or passed to a shell), followed
// by the path made absolute. Always absolute, the path can never be taken for
// an option.
QStringList shellOpenCommand(const QString &path);

// Opens the file or folder `path` as the desktop's "open" does. The opener is
// started with an argument list (no shell), standard streams on /dev/null,
// and given up to `waitMs` milliseconds to report: an exit status of 0, or
// still running after the wait, is success (ShellOpened); a missing path
// gives ShellFileNotFound; an opener that cannot be started or exits non-zero
// gives a result of 32 or less. The opener is never killed; a late exit is
// reaped in the background.
int shellOpen(const QString &path, int waitMs = 10000);

} // namespace quirex::platform
