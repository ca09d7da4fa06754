#include "pointlist.h"

#include <algorithm>

namespace quirex::engine
{

bool PointList::addUnlessPresent(int point)
{
    if (!m_present.insert(point).second)
        return false;
    m_values.push_back(point);
    return true;
}

void PointList::clear()
{
    m_values.clear();
    m_present.clear();
}

void PointList::sort()
{
    std::sort(m_values.begin(), m_values.end());
}

} // namespace quirex::engine
