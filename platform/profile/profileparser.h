#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quirex::platform
{

// Pure functions on the text of a private-profile (INI) file, UTF-8 encoded.
//
// Reading rules: section and key names are compared case-insensitively and
// the first match wins; blanks around names and values are ignored; one pair
// of enclosing double or single quotes is removed from a value; a line whose
// first non-blank character is ';' is a comment (a ';' later in a line is
// part of the value); lines before the first section and lines without '='
// hold no key. Lines may end in LF or CR LF; a UTF-8 byte-order mark at the
// start is ignored.

// The value of `key` in `section`, or nothing when either is missing.
std::optional<QString> findProfileValue(const QByteArray &contents, const QString &section,
                                        const QString &key);

// The integer at the start of `text`: an optional sign and the leading decimal
// digits ("12abc" gives 12, "abc" gives 0); clamped to the int range.
// An empty text gives `defaultValue`.
int parseProfileInt(const QString &text, int defaultValue);

// Cuts `value` so that its UTF-8 form, plus a terminating zero, fits in
// `bufferBytes` bytes, never splitting a character. A size below 1 gives "".
QString truncateToBuffer(const QString &value, int bufferBytes);

// True when `section`, `key` and `value` can be written without changing the
// file's structure: no line breaks or NUL anywhere, a non-empty key without
// '=' that does not begin with '[' or ';', a section without ']'.
bool isWritableProfileEntry(const QString &section, const QString &key, const QString &value);

// The contents with `key` in `section` set to `value`: the first matching key
// line is replaced in place; a missing key is added after the last non-blank
// line of the first matching section; a missing section is appended at the
// end with the key. Every other line is kept byte for byte. A value that the
// reader would change (surrounding blanks, enclosing quotes) is written inside
// double quotes so that it reads back unchanged. New lines use CR LF when the
// contents already do, LF otherwise. Returns nothing when the entry is not
// writable (isWritableProfileEntry).
std::optional<QByteArray> setProfileValue(const QByteArray &contents, const QString &section,
                                          const QString &key, const QString &value);

} // namespace quirex::platform
