#include "blockmove.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ostream>
#include <string>

using quirex::app::ui::blockMoveSteps;

namespace
{

// Applies the steps to a list of one-letter items and returns the new order,
// selected items in upper case.
std::string moved(const std::string &items, int offset)
{
    std::vector<bool> selected;
    std::string list;
    for (char c : items) {
        selected.push_back(std::isupper(static_cast<unsigned char>(c)) != 0);
        list += c;
    }
    for (const auto &[from, to] : blockMoveSteps(selected, offset)) {
        const char item = list[std::size_t(from)];
        list.erase(std::size_t(from), 1);
        list.insert(std::size_t(to), 1, item);
    }
    return list;
}

struct MoveCase {
    const char *items;
    int offset;
    const char *expected;
};

void PrintTo(const MoveCase &c, std::ostream *os)
{
    *os << c.items << (c.offset < 0 ? "_up_" : "_down_") << std::abs(c.offset);
}

class BlockMove : public testing::TestWithParam<MoveCase>
{
};

TEST_P(BlockMove, MovesTheSelectionAsOneBlock)
{
    const MoveCase &c = GetParam();
    EXPECT_EQ(moved(c.items, c.offset), c.expected) << c.items << " by " << c.offset;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlockMove,
    testing::Values(MoveCase{"aBcde", -1, "Bacde"},  // one item up
                    MoveCase{"aBcde", +1, "acBde"},  // one item down
                    MoveCase{"AbCde", -1, "AbCde"},  // the first item is selected: nothing moves
                    MoveCase{"abcdE", +1, "abcdE"},  // the last item is selected: nothing moves
                    MoveCase{"aBcDe", +1, "acBeD"},  // two apart, both shift and stay apart
                    MoveCase{"aBCde", +1, "adBCe"},  // an adjacent pair keeps its order
                    MoveCase{"aBCde", -1, "BCade"},  //
                    MoveCase{"Abcde", +3, "bcdAe"},  // a drop three rows further down
                    MoveCase{"abcdE", -4, "Eabcd"},  // a drop on the first row
                    MoveCase{"aBcDe", +2, "aBcDe"},  // the lower item would leave: none moves
                    MoveCase{"abcde", +1, "abcde"},  // nothing selected
                    MoveCase{"aBcde", 0, "aBcde"})); // a drop on the dragged item itself

TEST(BlockMoveSteps, TakesDownwardsFromTheLastAndUpwardsFromTheFirst)
{
    const std::vector<bool> selected{false, true, false, true, false};
    EXPECT_EQ(blockMoveSteps(selected, +1), (std::vector<std::pair<int, int>>{{3, 4}, {1, 2}}));
    EXPECT_EQ(blockMoveSteps(selected, -1), (std::vector<std::pair<int, int>>{{1, 0}, {3, 2}}));
}

} // namespace
