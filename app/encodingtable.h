#pragma once

#include <QString>
#include <QStringList>

namespace quirex::app
{

constexpr int EncodingCount = 134;
constexpr int DefaultEncoding = 63; // "ISO-8859-1"

// The 134 encoding names the engine's Encoding property receives, in their
// fixed order; the index is what the settings store.
const QStringList &encodingNames();

// The name of encoding `index`; empty for an index outside the table.
QString encodingName(int index);

// The index of `name`, matched exactly and case-sensitively; -1 when unknown.
int encodingIndex(const QString &name);

} // namespace quirex::app
