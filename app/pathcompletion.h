#pragma once

#include <QString>

namespace quirex::app
{

// Completes a relative `path` against `base`, a full file path, or, when
// `base` is empty, against the current folder (a relative path given on a
// command line or in a list file means the current folder):
// - a path beginning with '/' is returned unchanged;
// - a leading "./" is removed;
// - the base folder is `base` up to its last '/' (or the current folder);
// - each leading "../" is removed and drops the last component of the base
//   folder; climbing above "/" gives the empty string;
// - the result is the base folder, '/' and what is left of the path (an
//   empty path gives the base folder with a trailing '/').
// Nothing else is normalised.
QString completePath(const QString &path, const QString &base = QString());

} // namespace quirex::app
