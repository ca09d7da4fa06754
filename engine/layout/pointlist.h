#pragma once

#include <unordered_set>
#include <vector>

namespace quirex::engine
{

// An "add unless present" list of document positions: keeps insertion order
// (until sort()) and never holds a value twice. Membership is answered by a
// hash set beside the list, so filling and querying stay linear in the
// number of elements of a document.
class PointList final
{
public:
    // Appends `point` unless the list holds it; returns true when appended.
    bool addUnlessPresent(int point);
    bool contains(int point) const { return m_present.count(point) != 0; }
    void clear();
    void sort();

    const std::vector<int> &values() const { return m_values; }
    int size() const { return static_cast<int>(m_values.size()); }
    bool isEmpty() const { return m_values.empty(); }

private:
    std::vector<int> m_values;
    std::unordered_set<int> m_present;
};

} // namespace quirex::engine
