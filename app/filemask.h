#pragma once

#include <QString>
#include <QStringList>

namespace quirex::app
{

// True when `name` matches `pattern`, where '*' stands for any run of
// characters (also none) and '?' for exactly one; letters match without
// regard to case. Linear in the lengths for patterns with one '*'; never
// worse than their product.
bool matchesMask(const QString &name, const QString &pattern);

struct MaskMatches {
    bool found = false; // false: the folder cannot be listed, or nothing in it matches
    QStringList paths;  // folder part of the mask + file name, sorted by name
};

// The files that match `mask` (a path whose last component may hold '*' and
// '?'). The folder part is the mask up to and including its last '/' (none:
// the current folder, paths without a folder part). Folders that match count
// for `found` but are not listed; names beginning with '.' match only a
// pattern that begins with '.'. Sorted by name (code-point order), so runs are
// reproducible.
MaskMatches expandFileMask(const QString &mask);

} // namespace quirex::app
