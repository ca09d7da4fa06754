#include "papernames.h"

#include <array>

namespace quirex::engine
{

namespace
{

struct PaperName {
    const char *name;
    QPageSize::PageSizeId id;
};

constexpr std::array<PaperName, 30> kPapers{{
    {"a0", QPageSize::A0},
    {"a1", QPageSize::A1},
    {"a2", QPageSize::A2},
    {"a3", QPageSize::A3},
    {"a4", QPageSize::A4},
    {"a5", QPageSize::A5},
    {"a6", QPageSize::A6},
    {"a7", QPageSize::A7},
    {"a8", QPageSize::A8},
    {"a9", QPageSize::A9},
    {"b0", QPageSize::B0},
    {"b1", QPageSize::B1},
    {"b2", QPageSize::B2},
    {"b3", QPageSize::B3},
    {"b4", QPageSize::B4},
    {"b5", QPageSize::B5},
    {"b6", QPageSize::B6},
    {"b7", QPageSize::B7},
    {"b8", QPageSize::B8},
    {"b9", QPageSize::B9},
    {"b10", QPageSize::B10},
    {"c5e", QPageSize::C5E},
    {"comm10e", QPageSize::Comm10E},
    {"dle", QPageSize::DLE},
    {"executive", QPageSize::Executive},
    {"folio", QPageSize::Folio},
    {"ledger", QPageSize::Ledger},
    {"legal", QPageSize::Legal},
    {"letter", QPageSize::Letter},
    {"tabloid", QPageSize::Tabloid},
}};

} // namespace

QPageSize::PageSizeId paperSizeFromName(const QString &name)
{
    const QString lower = name.toLower();
    for (const PaperName &paper : kPapers)
        if (lower == QLatin1String(paper.name))
            return paper.id;
    return QPageSize::A4;
}

QString paperSizeName(QPageSize::PageSizeId id)
{
    for (const PaperName &paper : kPapers)
        if (paper.id == id)
            return QString::fromLatin1(paper.name);
    return {};
}

} // namespace quirex::engine
