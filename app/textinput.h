#pragma once

#include <QByteArray>
#include <QString>

namespace quirex::app
{

// How the bytes of a text input are encoded, as far as the converter tells.
enum class TextEncoding { Narrow, Utf16LittleEndian, Utf16BigEndian };

// The stand-in for the system's statistical UTF-16 test: a byte-order mark
// (FF FE or FE FF) decides; otherwise text of even length where at least one
// in sixteen odd-position bytes is zero and even-position zeros are at most an
// eighth of those reads as little-endian UTF-16 (blanks, digits and Latin
// letters have a zero high byte), and the mirror case as big-endian.
// Everything else, including any text of odd length, is narrow.
TextEncoding detectTextEncoding(const QByteArray &bytes);

// True when `bytes` begin with a UTF-16 byte-order mark; the web engine then
// reads the file as UTF-16 itself.
bool hasUtf16ByteOrderMark(const QByteArray &bytes);

// The HTML document a UTF-16 text input without a byte-order mark becomes
// (the web engine would read it as single-byte text): the decoded text,
// escaped, as preformatted text that wraps, as the web engine shows a plain
// text file.
QString utf16TextHtml(const QByteArray &bytes, TextEncoding encoding);

// The HTML document a narrow text input becomes: the opening
// "<html><body><font size="2" face="Courier New">", then each line of
// `bytes` (split at LF, a CR before it removed; the last line counts even
// without a line end) as UTF-8 followed by "<br>", then
// "</font></body></html>". The text is not escaped: markup in it is rendered
// as markup.
QString textInputHtml(const QByteArray &bytes);

} // namespace quirex::app
