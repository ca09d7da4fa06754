#include "linemap.h"

#include <gtest/gtest.h>

using quirex::engine::LineMap;

namespace
{

constexpr LineMap::Kind kText = LineMap::Kind::Text;
constexpr LineMap::Kind kImage = LineMap::Kind::Image;

// Lines 100 pixels high with 20 pixels of leading between them: the first
// at 0, the second at 120, and so on.
LineMap paragraph(int lines)
{
    LineMap map;
    for (int i = 0; i < lines; ++i)
        map.add(kText, i * 120, i * 120 + 100);
    map.finish();
    return map;
}

} // namespace

TEST(LineMap, PageEndsWhereTwoLinesMeet)
{
    const LineMap lines = paragraph(3); // [0,100) [120,220) [240,340)
    // Inside the third line: half way through the leading above it.
    EXPECT_EQ(lines.cutAtOrAbove(260, 0), 230);
    EXPECT_EQ(lines.cutAtOrAbove(240, 0), 230);
    // In the leading: below the point where the two line boxes meet the
    // third line would be drawn on this page too; above it, anywhere down
    // from the bottom of the second line's text will do.
    EXPECT_EQ(lines.cutAtOrAbove(235, 0), 230);
    EXPECT_EQ(lines.cutAtOrAbove(230, 0), 230);
    EXPECT_EQ(lines.cutAtOrAbove(225, 0), 225);
    EXPECT_EQ(lines.cutAtOrAbove(220, 0), 220);
    // Inside the second line.
    EXPECT_EQ(lines.cutAtOrAbove(150, 0), 110);
    // Below the last line nothing is in the way.
    EXPECT_EQ(lines.cutAtOrAbove(350, 0), 350);
    EXPECT_EQ(lines.cutAtOrAbove(1000, 0), 1000);
    // Above the first line.
    EXPECT_EQ(lines.cutAtOrAbove(50, -500), -50);
}

TEST(LineMap, NeverGoesBelowTheLowestPositionAllowed)
{
    const LineMap lines = paragraph(3);
    EXPECT_EQ(lines.cutAtOrAbove(260, 231), 260) << "no room: the page end stays";
    EXPECT_EQ(lines.cutAtOrAbove(260, 230), 230);
    EXPECT_EQ(LineMap().cutAtOrAbove(260, 0), 260) << "nothing known about the lines";
    int cut = -1;
    EXPECT_FALSE(lines.findCut(260, 231, &cut));
    EXPECT_EQ(cut, -1);
    EXPECT_TRUE(lines.findCut(260, 230, &cut));
    EXPECT_EQ(cut, 230);
}

TEST(LineMap, CutsThroughAnImageRatherThanThroughText)
{
    LineMap map;
    for (int i = 0; i < 3; ++i)
        map.add(kText, i * 120, i * 120 + 100);
    map.add(kImage, 50, 400);  // floated beside the lines
    map.add(kImage, 500, 500); // without area: ignored
    map.finish();
    EXPECT_EQ(map.cutAtOrAbove(300, 0), 230);
    EXPECT_EQ(map.cutAtOrAbove(300, -100), -50) << "above both when that is allowed";
    EXPECT_EQ(map.cutAtOrAbove(600, 0), 600);
}

TEST(LineMap, PartsLinesSetTighterThanTheirFont)
{
    // Boxes 100 high, 95 apart: each overlaps the next by 5.
    LineMap tight;
    for (int i = 0; i < 4; ++i)
        tight.add(kText, i * 95, i * 95 + 100);
    tight.finish();
    EXPECT_EQ(tight.cutAtOrAbove(250, 100), 192);

    // Runs of text in two columns whose lines are half a line apart overlap
    // far more than that: no cut passes between them.
    LineMap columns;
    for (int i = 0; i < 6; ++i) {
        columns.add(kText, i * 120, i * 120 + 100);
        columns.add(kText, i * 120 + 60, i * 120 + 160);
    }
    columns.finish();
    EXPECT_EQ(columns.cutAtOrAbove(500, 300), 500);
}

TEST(LineMap, RunsOfOneLineCountAsOneLine)
{
    LineMap map;
    // A line of plain text, bold text and a larger inline element, added out
    // of order as a document's text nodes may come.
    map.add(kText, 210, 300);
    map.add(kText, 200, 310);
    map.add(kText, 200, 300);
    map.add(kText, 0, 100);
    map.finish();
    EXPECT_EQ(map.cutAtOrAbove(250, 0), 150);
    EXPECT_EQ(map.cutAtOrAbove(400, 0), 400);
}
