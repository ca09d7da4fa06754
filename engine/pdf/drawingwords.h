#pragma once

#include <QFont>
#include <QString>
#include <Qt>

namespace quirex::engine
{

// Word tables of the drawing properties. Writes compare the lower-cased word;
// an unknown word chooses the table's fallback (noted per function). Reads
// give the word, or a fixed "unknown"/"unresolved" text for a state outside
// the table.

Qt::PenStyle penStyleFromWord(const QString &word); // fallback: solid line
QString penStyleWord(Qt::PenStyle style);

Qt::PenCapStyle penCapFromWord(const QString &word); // fallback: square cap
QString penCapWord(Qt::PenCapStyle cap);

Qt::PenJoinStyle penJoinFromWord(const QString &word); // fallback: bevel join
QString penJoinWord(Qt::PenJoinStyle join);

Qt::BGMode backgroundModeFromWord(const QString &word); // fallback: transparent
QString backgroundModeWord(Qt::BGMode mode);

// False for an unknown word: the font keeps its previous style.
bool fontStyleFromWord(const QString &word, QFont::Style *style);
QString fontStyleWord(QFont::Style style);

int fontWeightFromWord(const QString &word); // fallback: normal (50)
QString fontWeightWord(int weight);

// Text layout words of DrawText, combined; 0x0021 (left | top) when the text
// holds no word at all. Unknown words are ignored.
int textLayoutFlags(const QString &layout);

} // namespace quirex::engine
