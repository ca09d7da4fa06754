#pragma once

#include <QPageSize>
#include <QString>

namespace quirex::engine
{

// The paper names the engine accepts: "a0".."a9", "b0".."b10", "c5e",
// "comm10e", "dle", "executive", "folio", "ledger", "legal", "letter",
// "tabloid". Comparison is case-insensitive; any other text chooses A4.
QPageSize::PageSizeId paperSizeFromName(const QString &name);

// The lower-case name of a paper size of the table, or an empty text.
QString paperSizeName(QPageSize::PageSizeId id);

} // namespace quirex::engine
