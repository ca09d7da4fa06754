#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quirex::app
{

// The paths of a list file's text: lines split at LF (a CR before the LF
// dropped, the last line ending at the end of the text), white space (ASCII
// and Unicode blanks) removed from both ends of each, empty lines left out,
// file order kept. A leading UTF-8 byte-order mark is skipped. Returns false
// for text that is not a list: empty, or holding a NUL byte (a binary file).
bool parseListText(const QByteArray &text, QStringList *paths);

// Reads the list file at `path` through a read-only mapping and parses it.
// False when it is not a regular file, cannot be opened or mapped (an empty
// file cannot), or is not a list (parseListText).
bool readListFile(const QString &path, QStringList *paths);

// The list name that stands for standard input.
inline const QString &standardInputListName()
{
    static const QString name = QStringLiteral("-");
    return name;
}

// Reads the list text of the open file descriptor `fd` (a pipe, a terminal,
// a file) to its end and parses it. False when reading fails, the text holds
// a NUL byte (reading stops there, so an endless binary stream ends too), is
// longer than 256 MiB, or is not a list (parseListText).
bool readListDescriptor(int fd, QStringList *paths);

// A list named on the command line: standard input for "-" (a file of that
// name is "./-"), else the list file at `path`.
bool readListInput(const QString &path, QStringList *paths);

} // namespace quirex::app
