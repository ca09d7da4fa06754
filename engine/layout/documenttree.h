#pragma once

#include <vector>

namespace quirex::engine
{

// The laid-out elements of a document as a tree of vertical extents, in
// document pixels (bottom edge inclusive), so that the elements at a given
// height can be found without visiting the others. Pure data: filled by the
// points scan.
class DocumentTree final
{
public:
    // Appends an element in document order (a parent before its children);
    // `parent` is the index of its parent, or -1 for an outermost element.
    // `childrenKnown` is false when the element's children were not
    // scanned (a table kept whole). Returns the element's index.
    int add(int parent, int top, int bottom, bool childrenKnown = true);
    // Builds the lookup structures; call once, after the last add().
    void finish();

    int size() const { return static_cast<int>(m_nodes.size()); }
    int top(int node) const { return m_nodes[node].top; }
    int bottom(int node) const { return m_nodes[node].bottom; }
    int parent(int node) const { return m_nodes[node].parent; }
    bool childrenKnown(int node) const { return m_nodes[node].childrenKnown; }
    // The children of `node` in document order; node -1 stands for the
    // outermost elements.
    int childCount(int node) const;
    int child(int node, int k) const;
    // The position of `node` among the children of its parent.
    int indexInParent(int node) const { return m_indexInParent[node]; }

    // True when the element has rows on both sides of `position`: above it
    // and at or below it (top < position <= bottom).
    bool crosses(int node, int position) const
    {
        return top(node) < position && bottom(node) >= position;
    }

    // Appends every element that crosses `position`, each after its parent.
    void crossing(int position, std::vector<int> *out) const;

    // Where `position` falls among the children of `node`: `before` is the
    // index (among the children) of the last child that ends above it,
    // `after` the index of the first child that begins at or below it, -1
    // when there is none. Children between the two may cross it.
    struct Around {
        int before;
        int after;
    };
    Around around(int node, int position) const;

private:
    struct Node {
        int top;
        int bottom;
        int parent;
        bool childrenKnown;
    };
    // Children of a node occupy [first, first + count) of m_children.
    struct Range {
        int first = 0;
        int count = 0;
    };

    const Range &children(int node) const { return node < 0 ? m_roots : m_ranges[node]; }

    std::vector<Node> m_nodes;
    std::vector<Range> m_ranges;
    Range m_roots;
    std::vector<int> m_children;
    std::vector<int> m_indexInParent;
    // Over each node's children, in the order of m_children: the largest
    // bottom edge so far and the smallest top edge from there on, both
    // monotonic, so that the children near a height are found by binary
    // search even where floats put them out of order.
    std::vector<int> m_maxBottomSoFar;
    std::vector<int> m_minTopFromHere;
};

} // namespace quirex::engine
