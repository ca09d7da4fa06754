#include "papertable.h"

namespace quirex::app
{

const QStringList &paperNames()
{
    static const QStringList names = {
        QStringLiteral("A0"),        QStringLiteral("A1"),      QStringLiteral("A2"),
        QStringLiteral("A3"),        QStringLiteral("A4"),      QStringLiteral("A5"),
        QStringLiteral("A6"),        QStringLiteral("A7"),      QStringLiteral("A8"),
        QStringLiteral("A9"),        QStringLiteral("B0"),      QStringLiteral("B1"),
        QStringLiteral("B2"),        QStringLiteral("B3"),      QStringLiteral("B4"),
        QStringLiteral("B5"),        QStringLiteral("B6"),      QStringLiteral("B7"),
        QStringLiteral("B8"),        QStringLiteral("B9"),      QStringLiteral("B10"),
        QStringLiteral("C5E"),       QStringLiteral("Comm10E"), QStringLiteral("DLE"),
        QStringLiteral("Executive"), QStringLiteral("Folio"),   QStringLiteral("Ledger"),
        QStringLiteral("Legal"),     QStringLiteral("Letter"),  QStringLiteral("Tabloid"),
    };
    return names;
}

QString paperName(int index)
{
    return index >= 0 && index < paperNames().size() ? paperNames().at(index) : QString();
}

} // namespace quirex::app
