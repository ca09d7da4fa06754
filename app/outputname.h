#pragma once

#include <QString>

#include <functional>

namespace quirex::app
{

// The PDF path for `input` in `folder` (the folder modes): the input's file
// name (the text after its last '/'), with its extension replaced by
// `extension` when `swapExtension` is on (the name up to and including its
// last dot, then the extension; a name without a dot gives the extension
// alone), else with "." and `extension` appended; then the folder, a '/'
// unless the folder ends with one, and that name, trimmed of double quotes
// and blanks at both ends.
QString outputPathInFolder(const QString &input, const QString &folder, bool swapExtension,
                           const QString &extension);

// The first free name for a converted web page in `folder`:
// "ConvertedDocument.pdf", else "ConvertedDocument_1.pdf", "_2", ...;
// `exists` says whether a path is taken.
QString numberedDocumentPath(const QString &folder,
                             const std::function<bool(const QString &)> &exists);

} // namespace quirex::app
