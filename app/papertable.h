#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

namespace quirex::app
{

// PaperSize value of a custom size (CustomPaperWidth x CustomPaperHeight).
constexpr int CustomPaperSize = 100;
constexpr int PaperSizeCount = 30;

// The 30 paper names the engine's PaperSize property accepts, index = the
// PaperSize value: "A0" ... "A9", "B0" ... "B10", "C5E", "Comm10E", "DLE",
// "Executive", "Folio", "Ledger", "Legal", "Letter", "Tabloid".
const QStringList &paperNames();

// The name of paper `index`; empty for CustomPaperSize and any index outside
// the table.
QString paperName(int index);

// The portrait size of paper `index` in millimetres; an empty size for
// CustomPaperSize and any index outside the table.
QSizeF paperMillimetres(int index);

} // namespace quirex::app
