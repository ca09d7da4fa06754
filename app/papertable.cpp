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

QSizeF paperMillimetres(int index)
{
    // In the order of paperNames().
    static const QSizeF sizes[PaperSizeCount] = {
        {841, 1189},  {594, 841}, {420, 594},     {297, 420},     {210, 297},     {148, 210},
        {105, 148},   {74, 105},  {52, 74},       {37, 52},       {1000, 1414},   {707, 1000},
        {500, 707},   {353, 500}, {250, 353},     {176, 250},     {125, 176},     {88, 125},
        {62, 88},     {44, 62},   {31, 44},       {163, 229},     {105, 241},     {110, 220},
        {190.5, 254}, {210, 330}, {431.8, 279.4}, {215.9, 355.6}, {215.9, 279.4}, {279.4, 431.8},
    };
    return index >= 0 && index < PaperSizeCount ? sizes[index] : QSizeF();
}

} // namespace quirex::app
