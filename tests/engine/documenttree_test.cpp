#include "documenttree.h"

#include <gtest/gtest.h>

#include <algorithm>

using quirex::engine::DocumentTree;

namespace
{

// A page-like tree: three blocks one above the other, the middle one holding
// two paragraphs and the second of those a link; a float that comes last in
// the document but sits beside the first two blocks; and a hidden element.
struct Page {
    DocumentTree tree;
    int first, middle, para1, para2, link, last, floated, hidden;

    Page()
    {
        first = tree.add(-1, 0, 999);
        middle = tree.add(-1, 1000, 2999);
        para1 = tree.add(middle, 1000, 1499);
        para2 = tree.add(middle, 1500, 2999);
        link = tree.add(para2, 1600, 1700);
        last = tree.add(-1, 3000, 3999);
        floated = tree.add(-1, 500, 1800);
        hidden = tree.add(-1, 0, -1);
        tree.finish();
    }

    std::vector<int> crossing(int position) const
    {
        std::vector<int> out;
        tree.crossing(position, &out);
        return out;
    }
};

} // namespace

TEST(DocumentTree, FindsEveryElementAcrossAHeightParentsFirst)
{
    const Page page;
    std::vector<int> found = page.crossing(1650);
    // The link is found after its paragraph, the paragraph after its block.
    const auto at = [&found](int node) { return std::find(found.begin(), found.end(), node); };
    ASSERT_EQ(found.size(), 4u);
    EXPECT_LT(at(page.middle), at(page.para2));
    EXPECT_LT(at(page.para2), at(page.link));
    EXPECT_NE(at(page.floated), found.end()) << "out of order, but beside the position";

    // A position on an element's top edge does not cross it: the element
    // lies wholly below; nor does one below its bottom edge.
    EXPECT_EQ(page.crossing(1000), (std::vector<int>{page.floated}));
    EXPECT_EQ(page.crossing(4000), (std::vector<int>{}));
    EXPECT_EQ(page.crossing(3999), (std::vector<int>{page.last}));
}

TEST(DocumentTree, TellsTheChildrenAroundAGap)
{
    const Page page;
    const DocumentTree &tree = page.tree;
    EXPECT_EQ(tree.childCount(page.middle), 2);
    EXPECT_EQ(tree.child(page.middle, 1), page.para2);
    EXPECT_EQ(tree.indexInParent(page.para2), 1);
    EXPECT_EQ(tree.childCount(-1), 5);

    // Inside the middle block at its second paragraph's top edge: the first
    // paragraph ends above, the second begins there.
    const DocumentTree::Around inMiddle = tree.around(page.middle, 1500);
    EXPECT_EQ(inMiddle.before, 0);
    EXPECT_EQ(inMiddle.after, 1);
    // Among the outermost elements, the float that comes last in the
    // document but begins far above keeps every later child in view.
    const DocumentTree::Around outer = tree.around(-1, 3000);
    EXPECT_EQ(outer.before, 1);
    EXPECT_EQ(outer.after, -1);
    EXPECT_FALSE(tree.crosses(page.hidden, 0));
}

TEST(DocumentTree, DeepNestingNeedsNoRecursion)
{
    DocumentTree tree;
    int parent = -1;
    for (int depth = 0; depth < 200000; ++depth)
        parent = tree.add(parent, depth, 1000000 - depth);
    tree.finish();
    std::vector<int> found;
    tree.crossing(500000, &found);
    EXPECT_EQ(found.size(), 200000u);
}
