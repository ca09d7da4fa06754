#include "tablegroups.h"

#include <algorithm>
#include <climits>

namespace quirex::engine
{

namespace
{

// The first row of the body: below the header rows, if any.
int bodyTop(const TableGroups::Table &table)
{
    return table.head.height() > 0 ? table.head.bottom + 1 : table.top;
}

// One past the last row of the body: the footer rows' top, if any. The web
// engine lays the footer out at the table's foot wherever the markup has it.
int bodyEnd(const TableGroups::Table &table)
{
    return table.foot.height() > 0 ? table.foot.top : table.bottom + 1;
}

} // namespace

void TableGroups::add(const Table &table)
{
    if (table.head.height() == 0 && table.foot.height() == 0)
        return;
    if (table.bottom < table.top)
        return;
    if (!m_tables.empty() && table.top <= m_tables.back().bottom)
        return; // inside a table already held (or out of order)
    m_tables.push_back(table);
}

const TableGroups::Table *TableGroups::tableAt(int position) const
{
    const auto after = std::upper_bound(m_tables.begin(), m_tables.end(), position,
                                        [](int y, const Table &table) { return y < table.top; });
    if (after == m_tables.begin())
        return nullptr;
    const Table &table = *(after - 1);
    return position <= table.bottom ? &table : nullptr;
}

const TableGroups::Table *TableGroups::continuedAt(int position) const
{
    const Table *table = tableAt(position);
    if (!table || table->head.height() == 0)
        return nullptr;
    return position > bodyTop(*table) && position < bodyEnd(*table) ? table : nullptr;
}

const TableGroups::Table *TableGroups::continuedPast(int position) const
{
    const Table *table = tableAt(position);
    if (!table || table->foot.height() == 0)
        return nullptr;
    return position > bodyTop(*table) && position < bodyEnd(*table) ? table : nullptr;
}

bool TableGroups::repeatsOn(const Table &table, int pageHeight)
{
    return 3LL * (table.head.height() + table.foot.height()) <= pageHeight;
}

int TableGroups::roomOnPage(int start, int pageHeight) const
{
    if (m_tables.empty())
        return pageHeight;
    int room = pageHeight;
    const Table *head = continuedAt(start);
    if (head && repeatsOn(*head, pageHeight))
        room -= head->head.height();
    // The page ends at most `room` below its start; where that is inside a
    // body with footer rows, they take their place above it.
    const Table *foot = continuedPast(static_cast<int>(std::min<long long>(
        static_cast<long long>(start) + room, static_cast<long long>(INT_MAX))));
    if (foot && repeatsOn(*foot, pageHeight))
        room -= foot->foot.height();
    return std::max(room, 1);
}

} // namespace quirex::engine
