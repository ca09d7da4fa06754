#pragma once

#include <QString>

namespace quirex::engine
{

// Output files are written under a temporary name beside the target and
// renamed over it when complete, so a failed conversion never leaves a torn
// file. These helpers give the finished file the permissions a plain write
// would have given it.

// Creates a new empty file beside `target`, named ".NAME.RANDOM" + `suffix`,
// with the permissions open(..., 0666) gives a new file (the umask applied).
// Returns its path, or an empty string (errno set) when no file can be made.
QString createFileBeside(const QString &target, const QString &suffix);

// Before `replacement` is renamed over `target`: when `target` exists, gives
// `replacement` the permission bits of `target`, so replacing a file keeps
// its mode. Returns false (errno set) when they cannot be changed.
bool keepPermissionsOf(const QString &target, const QString &replacement);

} // namespace quirex::engine
