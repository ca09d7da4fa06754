#include "linemap.h"
#include "pageslicer.h"
#include "pointlist.h"
#include "tablegroups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using quirex::engine::Extent;
using quirex::engine::LineMap;
using quirex::engine::PointList;
using quirex::engine::slicePages;
using quirex::engine::SlicingInput;
using quirex::engine::TableGroups;

namespace
{

// Builds the loop's inputs the way the engine does: points sorted, forced
// breaks merged into them.
struct Document {
    explicit Document(std::vector<int> candidatePoints = {})
        : points(std::move(candidatePoints))
    {
    }

    std::vector<int> points;
    PointList breaks, avoided, images, tables;
    std::vector<Extent> avoidedBlocks;
    int pageHeight = 10000;
    int contentsHeight = 0;
    const LineMap *lines = nullptr; // where the lines of text are, if known
    std::vector<int> lineCuts;      // filled by slice()

    std::vector<int> slice()
    {
        PointList all;
        for (int p : points)
            all.addUnlessPresent(p);
        for (int p : breaks.values())
            all.addUnlessPresent(p);
        all.sort();
        breaks.sort();
        SlicingInput input{all.values(), breaks,     avoided,       images,
                           tables,       pageHeight, contentsHeight};
        input.avoidedBlocks = avoidedBlocks;
        if (lines)
            input.placeCut = [this](int end, int lowest) {
                return lines->cutAtOrAbove(end, lowest);
            };
        return slicePages(input, &lineCuts);
    }
};

using Boundaries = std::vector<int>;

std::string describe(const Document &doc, const std::vector<int> &boundaries)
{
    std::string text = "\npage " + std::to_string(doc.pageHeight) + "\npoints:";
    for (int p : doc.points) {
        text += " " + std::to_string(p);
        if (doc.avoided.contains(p))
            text += "A";
        if (doc.images.contains(p))
            text += "I";
        if (doc.tables.contains(p))
            text += "T";
        if (doc.breaks.contains(p))
            text += "B";
    }
    text += "\nboundaries:";
    for (int b : boundaries)
        text += " " + std::to_string(b);
    return text;
}

} // namespace

TEST(PointList, KeepsOrderAndRefusesDuplicates)
{
    PointList list;
    EXPECT_TRUE(list.addUnlessPresent(5));
    EXPECT_TRUE(list.addUnlessPresent(1));
    EXPECT_FALSE(list.addUnlessPresent(5));
    EXPECT_EQ(list.values(), (std::vector<int>{5, 1}));
    EXPECT_TRUE(list.contains(1));
    list.sort();
    EXPECT_EQ(list.values(), (std::vector<int>{1, 5}));
    list.clear();
    EXPECT_FALSE(list.contains(5));
    EXPECT_TRUE(list.addUnlessPresent(5));
}

TEST(PageSlicer, WorkedExampleMovesBlockWholeWhenLessThanATenthIsLeft)
{
    Document doc({3000, 9500, 12000});
    doc.contentsHeight = 12100;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 9501, 12100}));
}

TEST(PageSlicer, WorkedExampleSplitsBlockAtPageEndWhenATenthOrMoreIsLeft)
{
    Document doc({3000, 8500, 12000});
    doc.contentsHeight = 12100;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 12100}));
}

TEST(PageSlicer, OneTenthRuleIsStrict)
{
    Document exactlyATenth({9000, 10500});
    exactlyATenth.contentsHeight = 10500;
    EXPECT_EQ(exactlyATenth.slice(), (Boundaries{0, 10000, 10500}));

    Document lessThanATenth({9001, 10500});
    lessThanATenth.contentsHeight = 10500;
    EXPECT_EQ(lessThanATenth.slice(), (Boundaries{0, 9002, 10500}));
}

TEST(PageSlicer, ForcedBreaksCutWithoutHeightTest)
{
    // A break near the top of an almost empty page, and one after content.
    Document doc({100, 2000, 5000, 8000});
    doc.breaks.addUnlessPresent(100);
    doc.breaks.addUnlessPresent(5000);
    doc.contentsHeight = 8000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 100, 5000, 8000}));
}

TEST(PageSlicer, ForcedBreakThatIsNotACandidatePointStillCuts)
{
    Document doc({2000, 8000});
    doc.breaks.addUnlessPresent(3000);
    doc.contentsHeight = 8000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 3000, 8000}));
}

TEST(PageSlicer, ContentAboveAForcedBreakStillFitsItsPages)
{
    Document doc({6000, 13000, 14000});
    doc.breaks.addUnlessPresent(13000);
    doc.contentsHeight = 14000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 13000, 14000}));

    Document tall({30000, 31000});
    tall.breaks.addUnlessPresent(30000);
    tall.contentsHeight = 31000;
    EXPECT_EQ(tall.slice(), (Boundaries{0, 10000, 20000, 30000, 31000}));
}

TEST(PageSlicer, BreakAtTheTopOfTheDocumentMakesNoEmptyPage)
{
    Document doc({0, 500});
    doc.breaks.addUnlessPresent(0);
    doc.contentsHeight = 500;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 500}));
}

TEST(PageSlicer, MovedBlockNeverMakesAPageTallerThanThePage)
{
    Document doc({10000, 10500});
    doc.images.addUnlessPresent(10500);
    doc.contentsHeight = 10500;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 10500}));
}

TEST(PageSlicer, AvoidedBlockMovesWholeToNextPage)
{
    Document doc({6000, 14000, 15000});
    doc.avoided.addUnlessPresent(14000);
    doc.contentsHeight = 15000;
    // Even with plenty of room left, the avoided block is not split.
    EXPECT_EQ(doc.slice(), (Boundaries{0, 6000, 15000}));
}

TEST(PageSlicer, ImagesAndTablesKeptWholeMoveToNextPage)
{
    for (const bool image : {true, false}) {
        Document doc({5000, 12000});
        (image ? doc.images : doc.tables).addUnlessPresent(12000);
        doc.contentsHeight = 12000;
        EXPECT_EQ(doc.slice(), (Boundaries{0, 5001, 12000})) << (image ? "image" : "table");
    }
}

TEST(PageSlicer, TallBlockAtTopOfPageIsCutAtPageHeights)
{
    Document doc({25000});
    doc.tables.addUnlessPresent(25000);
    doc.contentsHeight = 25000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 20000, 25000}));
}

TEST(PageSlicer, TallAvoidedBlockAtTopOfPageKeepsItsBottomEdge)
{
    Document doc({25000, 26000});
    doc.avoided.addUnlessPresent(25000);
    doc.contentsHeight = 26000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 20000, 25000, 26000}));
}

TEST(PageSlicer, TallAvoidedBlockOfWholePagesMakesNoEmptyPage)
{
    Document doc({20000, 21000});
    doc.avoided.addUnlessPresent(20000);
    doc.contentsHeight = 21000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 20000, 21000}));
}

TEST(PageSlicer, TallBlockBelowOtherContentFillsThePageFirst)
{
    Document doc({3000, 25000});
    doc.contentsHeight = 25000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10000, 20000, 25000}));
}

TEST(PageSlicer, TallBlockBelowContentStartsFreshPageWhenOnlyASliverIsLeft)
{
    Document doc({9500, 31000});
    doc.contentsHeight = 31000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 9501, 19501, 29501, 31000}));
}

TEST(PageSlicer, TallAvoidedBlockBelowContentOpensItsOwnPage)
{
    Document doc({3000, 25000, 25500});
    doc.avoided.addUnlessPresent(25000);
    doc.contentsHeight = 25500;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 3000, 13000, 23000, 25000, 25500}));
}

TEST(PageSlicer, EmptyDocumentIsOnePage)
{
    Document doc;
    doc.contentsHeight = 500;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 500}));
}

TEST(PageSlicer, LastBoundaryIsContentsHeight)
{
    Document doc({3000, 4000});
    doc.contentsHeight = 10430;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 10430}));
}

TEST(PageSlicer, PageWithoutHeightGivesOneSlice)
{
    Document doc({3000, 40000});
    doc.pageHeight = 0;
    doc.contentsHeight = 40000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 40000}));
}

TEST(PageSlicer, PointsInsideAnAvoidedBlockDoNotSplitIt)
{
    // A block of three paragraphs (bottom edges 6000, 8000, 9000) that fits
    // on a page moves whole, although its first paragraphs would fit.
    Document doc({2000, 4000, 6000, 8000, 9000, 12000});
    doc.avoided.addUnlessPresent(12000);
    doc.avoidedBlocks = {{5000, 12000}};
    doc.contentsHeight = 12000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 4000, 12000}));

    // Nested avoided blocks count as one; a forced break inside still cuts.
    Document nested({2000, 6000, 7000, 8000, 12000});
    nested.avoided.addUnlessPresent(12000);
    nested.avoided.addUnlessPresent(7000);
    nested.avoidedBlocks = {{5000, 12000}, {5500, 7000}};
    nested.breaks.addUnlessPresent(8000);
    nested.contentsHeight = 12000;
    EXPECT_EQ(nested.slice(), (Boundaries{0, 8000, 12000}));

    // One taller than a page is split at its inner points as before.
    Document tall({5000, 9000, 12000, 15000});
    tall.avoided.addUnlessPresent(15000);
    tall.avoidedBlocks = {{1000, 15000}};
    tall.contentsHeight = 15000;
    EXPECT_EQ(tall.slice(), (Boundaries{0, 10000, 15000}));
}

TEST(PageSlicer, PageEndsInsideATallBlockMoveUpBetweenLines)
{
    // A block of lines 250 high, one every 300, from the top of the page.
    LineMap lines;
    for (int top = 0; top < 35000; top += 300)
        lines.add(LineMap::Kind::Text, top, top + 250);
    lines.finish();
    Document doc({35000});
    doc.lines = &lines;
    doc.contentsHeight = 35000;
    // Each page ends half way through the leading above the line that
    // would have been cut; the next page starts there.
    EXPECT_EQ(doc.slice(), (Boundaries{0, 9875, 19775, 29675, 35000}));
    EXPECT_EQ(doc.lineCuts, (Boundaries{9875, 19775, 29675}));
}

TEST(PageSlicer, LineAwareCutsStayInTheLowerHalfAndOutOfBlocksKeptWhole)
{
    // A single line taller than half a page: the page end stays.
    LineMap huge;
    huge.add(LineMap::Kind::Text, 4000, 12000);
    huge.finish();
    Document tallLine({15000});
    tallLine.lines = &huge;
    tallLine.contentsHeight = 15000;
    EXPECT_EQ(tallLine.slice(), (Boundaries{0, 10000, 15000}));

    // A page end that would move up into an image kept whole stays put;
    // with the image free to be split it moves.
    LineMap beside;
    beside.add(LineMap::Kind::Text, 8001, 10100);
    beside.finish();
    for (const bool keptWhole : {true, false}) {
        Document doc({8000, 14000});
        if (keptWhole)
            doc.images.addUnlessPresent(8000);
        doc.lines = &beside;
        doc.contentsHeight = 14000;
        EXPECT_EQ(doc.slice(), (Boundaries{0, keptWhole ? 10000 : 6951, 14000})) << keptWhole;
    }
}

TEST(PageSlicer, BlockMovedWholeBelowAnInlineElementTakesItsLineAlong)
{
    // 9500 is the bottom edge of a link inside a line that reaches to 9600;
    // less than a tenth of the page is left below it.
    LineMap lines;
    lines.add(LineMap::Kind::Text, 9400, 9600);
    lines.finish();
    Document doc({5000, 9500, 12000});
    doc.lines = &lines;
    doc.contentsHeight = 12000;
    EXPECT_EQ(doc.slice(), (Boundaries{0, 9300, 12000}));
}

// Random documents: whatever the mix of blocks, every slice fits a page and
// the boundaries are ordered, start at 0 and end at the contents height.
TEST(PageSlicer, RandomDocumentsNeverGiveSlicesTallerThanAPage)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 2000; ++round) {
        Document doc;
        doc.pageHeight = 1000 + static_cast<int>(random() % 9000);
        int y = 0;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            y += 1 + static_cast<int>(random() % (random() % 4 == 0 ? 3 * doc.pageHeight : 800));
            doc.points.push_back(y);
            switch (random() % 8) {
            case 0:
                doc.avoided.addUnlessPresent(y);
                break;
            case 1:
                doc.images.addUnlessPresent(y);
                break;
            case 2:
                doc.tables.addUnlessPresent(y);
                break;
            case 3:
                doc.breaks.addUnlessPresent(y);
                break;
            default:
                break;
            }
        }
        doc.contentsHeight = y + 1;
        const std::vector<int> boundaries = doc.slice();
        ASSERT_GE(boundaries.size(), 2u);
        EXPECT_EQ(boundaries.front(), 0);
        EXPECT_EQ(boundaries.back(), doc.contentsHeight);
        // The last page also carries what lies below the last point (the
        // document's bottom margin).
        const int belowLastPoint = doc.points.empty() ? 0 : doc.contentsHeight - doc.points.back();
        for (size_t i = 1; i < boundaries.size(); ++i) {
            ASSERT_LE(boundaries[i - 1], boundaries[i]) << "round " << round;
            const int allowed = doc.pageHeight + (i + 1 == boundaries.size() ? belowLastPoint : 0);
            ASSERT_LE(boundaries[i] - boundaries[i - 1], allowed)
                << "round " << round << describe(doc, boundaries);
        }
    }
}

// A table of 60 rows of 900 to 1,400 pixels below a paragraph, with header
// rows of 600 and footer rows of 400: rows move whole, and every page the
// table spans has room for the rows it repeats.
TEST(PageSlicer, TableRowsMoveWholeAndLeaveRoomForRepeatedRows)
{
    Document doc({2999});
    PointList rows;
    TableGroups groups;
    const int tableTop = 3000;
    int y = tableTop + 600; // below the header rows
    std::vector<Extent> rowExtents;
    for (int i = 0; i < 60; ++i) {
        const int height = 900 + 100 * (i % 6);
        // Each row holds the bottom edges of its cells' lines.
        for (int line = 250; line < height; line += 250)
            doc.points.push_back(y + line - 1);
        rowExtents.push_back({y, y + height - 1});
        doc.points.push_back(y + height - 1);
        rows.addUnlessPresent(y + height - 1);
        y += height;
    }
    const int footTop = y;
    doc.points.push_back(footTop + 399);
    groups.add(
        {0, 5000, tableTop, footTop + 399, {tableTop, tableTop + 599}, {footTop, footTop + 399}});
    doc.avoidedBlocks = rowExtents;
    doc.contentsHeight = footTop + 1000;

    PointList all;
    for (int p : doc.points)
        all.addUnlessPresent(p);
    all.sort();
    SlicingInput input{all.values(), doc.breaks, doc.avoided,       doc.images,
                       doc.tables,   10000,      doc.contentsHeight};
    input.avoidedBlocks = doc.avoidedBlocks;
    input.rowPoints = &rows;
    input.tableGroups = &groups;
    const std::vector<int> boundaries = slicePages(input);
    ASSERT_GE(boundaries.size(), 8u);
    for (size_t i = 1; i + 1 < boundaries.size(); ++i) {
        const int from = boundaries[i - 1];
        const int to = boundaries[i];
        // Every cut lies between two rows (at the bottom edge of the upper).
        const bool betweenRows = std::any_of(rowExtents.begin(), rowExtents.end(),
                                             [to](const Extent &row) { return row.bottom == to; });
        EXPECT_TRUE(betweenRows || to <= tableTop + 600) << "cut " << i << " at " << to;
        int repeated = 0;
        if (groups.continuedAt(from))
            repeated += 600;
        if (groups.continuedPast(to))
            repeated += 400;
        EXPECT_LE(to - from + repeated, 10000) << "page " << i;
    }
    // Pages inside the table repeat both groups.
    EXPECT_TRUE(groups.continuedAt(boundaries[2]));
    EXPECT_TRUE(groups.continuedPast(boundaries[2]));
    // Header and footer rows taking more than a third of the page are not repeated.
    EXPECT_FALSE(TableGroups::repeatsOn(*groups.continuedAt(boundaries[2]), 2999));
}
