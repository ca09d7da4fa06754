#pragma once

#include <vector>

namespace quirex::engine
{

// The header and footer row groups of the tables of a laid-out document,
// which a page repeats when a table continues across it: the header rows at
// the top of every page the table continues on, the footer rows at the foot
// of every page it continues past. Positions are document pixels, bottom
// edges inclusive. Pure data: filled by the points scan.
class TableGroups final
{
public:
    struct Rows {
        int top = 0;
        int bottom = -1; // below top: the table has no such group
        int height() const { return bottom >= top ? bottom - top + 1 : 0; }
    };
    struct Table {
        int left;
        int width;
        int top;
        int bottom;
        Rows head;
        Rows foot;
    };

    // Appends a table in document order. Tables without a header or footer
    // group, and tables inside one already held, are left out: a page
    // repeats the groups of the outermost table only.
    void add(const Table &table);
    void clear() { m_tables.clear(); }
    bool isEmpty() const { return m_tables.empty(); }

    // The table whose header rows a page starting at `position` repeats:
    // its body begins above `position` and continues at it.
    const Table *continuedAt(int position) const;
    // The table whose footer rows a page ending at `position` (exclusive)
    // repeats: its body begins above `position` and continues below it.
    const Table *continuedPast(int position) const;

    // The height left for the document on a page of `pageHeight` starting
    // at `start` once the repeated rows have their place. A table's groups
    // are repeated only while together they take at most a third of the
    // page, so the room is always at least two thirds of it.
    int roomOnPage(int start, int pageHeight) const;
    static bool repeatsOn(const Table &table, int pageHeight);

private:
    // The last table whose top lies at or above `position`, if `position`
    // lies inside it.
    const Table *tableAt(int position) const;
    std::vector<Table> m_tables; // ascending and disjoint
};

} // namespace quirex::engine
