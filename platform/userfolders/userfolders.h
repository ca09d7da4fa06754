#pragma once

#include <QString>

namespace quirex::platform
{

// The user's roaming application-data folder: $XDG_CONFIG_HOME when it is an
// absolute path, else ~/.config. With `create`, a missing folder is made
// (mode 0700). Returns an empty string when there is no home folder or the
// folder cannot be made.
QString roamingAppDataFolder(bool create);

// The user's Documents folder (XDG user-dirs); the home folder when that
// folder does not exist.
QString documentsFolder();

// The folder of the running program file, without a trailing '/'. Works
// before and without an application object (reads /proc/self/exe).
QString programFolder();

// Makes `path` and every missing folder above it, each new one with mode 0700
// (existing folders are left as they are). Returns true when `path` is a
// folder afterwards. Symbolic links to folders are accepted as folders.
bool makePrivateFolders(const QString &path);

} // namespace quirex::platform
