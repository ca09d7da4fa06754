#pragma once

#include <QByteArray>
#include <QString>

namespace quirex::app
{

// The value of attribute `name` in `markup` (the lower-cased text of one video
// element), as the video step reads it: the first occurrence of `name`
// anywhere in the markup (also inside another value, such as the "width" of
// "max-width", or in the element's content); then blanks and '=' are skipped.
// A value starting with '"' runs through the next '"' and keeps both quotes;
// any other value runs up to the next blank. Empty when the name is missing,
// nothing follows it, the closing quote is missing, or no blank ends an
// unquoted value.
QByteArray videoAttributeValue(const QByteArray &markup, const QByteArray &name);

// Replaces every video element of `text` ("<video" ... "</video" ... ">",
// found case-sensitively, the first search starting at the second byte) by
// "<img width=W height=H src=P>" built from its lower-cased attributes (width
// and height only when present), or by "VIDEO" when it has no poster. An
// element without a closing tag, and every element after it, stays as it is.
// Every other byte is kept, NUL bytes included. Linear in the text.
QByteArray replaceVideoElements(const QByteArray &text);

// The path of the video step's copy of `inputPath`: the input's folder (up to
// and including its last '/' or '\'; the current folder when it has none)
// followed by `tempFileName`.
QString videoCopyPath(const QString &inputPath, const QString &tempFileName);

// True when `name` names a file without any folder part: not empty, not "."
// or "..", no '/' or '\'.
bool isPlainFileName(const QString &name);

// The video step of the converter. Reads the file `inputPath` whole, replaces
// its video elements (replaceVideoElements) and writes the result to
// videoCopyPath(inputPath, tempFileName), created exclusively with the
// input's permission bits (less the umask); `inputPath` then names the copy,
// which the caller removes when it is done with it. Logs "ReplaceToTempFile".
// Returns 0, or 2034 (nothing written, `inputPath` unchanged) when the input
// is missing, unreadable, empty or not a regular file, when `tempFileName`
// has a folder part (isPlainFileName), when anything (a file, a link, a
// folder, the input itself) already has the copy's name, or when the copy
// cannot be written in full (nothing is left then).
int ReplaceToTempFile(QString &inputPath, const QString &tempFileName);

} // namespace quirex::app
