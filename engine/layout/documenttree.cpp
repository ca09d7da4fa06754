#include "documenttree.h"

#include <algorithm>

namespace quirex::engine
{

int DocumentTree::add(int parent, int top, int bottom, bool childrenKnown)
{
    m_nodes.push_back({top, bottom, parent, childrenKnown});
    return size() - 1;
}

void DocumentTree::finish()
{
    // Counting sort of the nodes by parent keeps each node's children in
    // document order.
    m_ranges.assign(m_nodes.size(), Range());
    m_roots = Range();
    for (const Node &node : m_nodes)
        ++(node.parent < 0 ? m_roots : m_ranges[node.parent]).count;
    int next = 0;
    m_roots.first = next;
    next += m_roots.count;
    for (Range &range : m_ranges) {
        range.first = next;
        next += range.count;
    }
    m_children.assign(m_nodes.size(), 0);
    m_indexInParent.assign(m_nodes.size(), 0);
    std::vector<int> filled(m_nodes.size() + 1, 0);
    for (int i = 0; i < size(); ++i) {
        const int parent = m_nodes[i].parent;
        const Range &range = parent < 0 ? m_roots : m_ranges[parent];
        int &count = filled[parent < 0 ? m_nodes.size() : static_cast<size_t>(parent)];
        m_indexInParent[i] = count;
        m_children[range.first + count++] = i;
    }

    m_maxBottomSoFar.assign(m_children.size(), 0);
    m_minTopFromHere.assign(m_children.size(), 0);
    const auto index = [this](const Range &range) {
        for (int k = 0; k < range.count; ++k) {
            const int at = range.first + k;
            const int bottom = m_nodes[m_children[at]].bottom;
            m_maxBottomSoFar[at] = k == 0 ? bottom : std::max(m_maxBottomSoFar[at - 1], bottom);
        }
        for (int k = range.count - 1; k >= 0; --k) {
            const int at = range.first + k;
            const int top = m_nodes[m_children[at]].top;
            m_minTopFromHere[at] =
                k == range.count - 1 ? top : std::min(m_minTopFromHere[at + 1], top);
        }
    };
    index(m_roots);
    for (const Range &range : m_ranges)
        index(range);
}

int DocumentTree::childCount(int node) const
{
    return children(node).count;
}

int DocumentTree::child(int node, int k) const
{
    return m_children[children(node).first + k];
}

DocumentTree::Around DocumentTree::around(int node, int position) const
{
    const Range &range = children(node);
    const auto begin = m_maxBottomSoFar.begin() + range.first;
    const auto end = begin + range.count;
    // Children before `lo` all end above the position; from `hi` on they
    // all begin at or below it.
    const int lo = static_cast<int>(std::lower_bound(begin, end, position) - begin);
    const auto topsBegin = m_minTopFromHere.begin() + range.first;
    const int hi = static_cast<int>(std::lower_bound(topsBegin, topsBegin + range.count, position) -
                                    topsBegin);
    return {lo - 1, hi < range.count ? hi : -1};
}

void DocumentTree::crossing(int position, std::vector<int> *out) const
{
    // Without recursion, so deeply nested documents cannot exhaust the
    // stack: each entry is a node whose children are still to be looked at.
    std::vector<int> pending{-1};
    while (!pending.empty()) {
        const int node = pending.back();
        pending.pop_back();
        const Range &range = children(node);
        const Around near = around(node, position);
        const int last = near.after < 0 ? range.count : near.after;
        for (int k = near.before + 1; k < last; ++k) {
            const int element = m_children[range.first + k];
            if (crosses(element, position)) {
                out->push_back(element);
                pending.push_back(element);
            }
        }
    }
}

} // namespace quirex::engine
