#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace quirex::app::ui
{

// The masks a folder is scanned with, in this order.
const QStringList &folderScanMasks();

// Receives each file found; returns false to end the whole scan (the input
// list is full).
using FoundFile = std::function<bool(const QString &path)>;

// Hands every file (not folder) of `folder` whose name matches `mask` ("*"
// and "?", case-insensitively) to `found`, sorted by name; with `recursive`,
// then does the same in each sub-folder, depth first. A folder reached twice
// through symbolic links is scanned once, so a link cycle cannot recurse
// forever. Returns false when `found` ended the scan.
bool scanFolder(const QString &folder, const QString &mask, bool recursive, const FoundFile &found);

// Scans `folder` with every mask of folderScanMasks() in turn.
bool scanFolderAllMasks(const QString &folder, bool recursive, const FoundFile &found);

// Whether `path` names a file the add-files dialog offers: .htm, .html,
// .shtml or .txt, in any letter case.
bool isSupportedInputName(const QString &path);

} // namespace quirex::app::ui
