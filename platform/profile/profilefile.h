#pragma once

#include <QString>

namespace quirex::platform
{

// Private-profile (INI) files on disk; the rules of profileparser.h apply.

// Reads `key` of `section` from the file at `path`. A missing or unreadable
// file, section or key gives `defaultValue`. The result is cut to fit a buffer
// of `bufferBytes` bytes including its terminating zero.
QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int bufferBytes = 4096);

// Reads `key` of `section` as an integer from its leading digits ("12abc" gives
// 12, "abc" gives 0). A missing file, section or key, or an empty value, gives
// `defaultValue`.
int readProfileInt(const QString &path, const QString &section, const QString &key,
                   int defaultValue);

// Sets `key` of `section` to `value`, creating the file, the section or the key
// as needed and keeping every other line. The file is replaced atomically
// (temporary file beside it, then rename), so a crash leaves either the old or
// the new contents. The folder is never created. Returns false, leaving the
// file untouched, when the folder is missing or not writable, the existing
// file cannot be read, or the entry contains a line break (see
// isWritableProfileEntry).
bool writeProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value);

} // namespace quirex::platform
