#pragma once

#include <QString>

class QWebElement;

namespace quirex::engine
{

// Rewrites applied to a loaded document before it is laid out for printing.
// The string functions work on markup as QWebElement::toOuterXml() and
// toInnerXml() serialise it; positions and lengths are UTF-16 code units.

// Returns the value that follows the first case-insensitive occurrence of
// `name` anywhere in `markup` (not only among attribute names), after any run
// of spaces and equals signs. A value that opens with a double quote runs to
// the next double quote and keeps both quotes (`"320"`); an unclosed quote
// runs to the end of the markup. Any other value runs up to the next space or
// the end of the markup. Returns an empty string when `name` is empty or does
// not occur, or when nothing follows it.
QString GetAttributeValue(const QString &markup, const QString &name);

// The replacement markup for one video element, given its outer markup:
// "<img width=W height=H src=P>" with the values GetAttributeValue finds
// (width and height left out when absent), or exactly "VIDEO" when no poster
// is found.
QString videoReplacement(const QString &outerMarkup);

// Paragraphs whose inner markup is longer than this get markers.
constexpr int paragraphLengthThreshold = 200;
// A marker follows every run of this many counted words.
constexpr int wordsPerMarker = 10;
// The empty element placed after a run of words; it gives the slicing pass a
// bottom edge on the text line where it sits.
inline const QString paragraphMarker = QStringLiteral("<font></font>");

struct MarkedParagraph {
    bool changed = false;
    QString markup; // the input with the markers inserted; the input itself when unchanged
};

// Inserts paragraphMarker into one paragraph's inner markup after every run
// of wordsPerMarker plain words. Words are the pieces between single spaces;
// words inside a tag's attribute list are not counted, and a word that
// closes a tag starts a new run as its first word. Markup of
// paragraphLengthThreshold units or fewer is returned unchanged.
MarkedParagraph insertParagraphMarkers(const QString &innerMarkup);

// Replaces every video element below `root` by videoReplacement() of its
// outer markup. A null element is left alone.
void replaceVideos(const QWebElement &root);

// Applies insertParagraphMarkers() to the inner markup of every p element
// below `root`, writing back only the paragraphs that changed.
void insertParagraphMarkers(const QWebElement &root);

} // namespace quirex::engine
