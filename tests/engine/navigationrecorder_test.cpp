#include "navigationrecorder.h"

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

LoadedDocument document(const char *address, QHash<QString, QPoint> targets = {},
                        std::vector<DocumentHeading> headings = {})
{
    return {QString::fromLatin1(address), std::move(targets), std::move(headings)};
}

} // namespace

// Two documents printed into one file; slices printed out of order, one
// twice and one never: every place maps through the slice that holds it.
TEST(NavigationRecorder, PlacesMapThroughThePrintedSlices)
{
    NavigationRecorder recorder;
    const int a =
        recorder.addDocument(document("file:///a.html", {{"mid", {30, 1500}}, {"late", {0, 2500}}},
                                      {{1, "A", {0, 0}},
                                       {2, "A.1", {0, 1200}},
                                       {2, "Unprinted", {0, 2600}},
                                       {3, "A.1.1", {0, 1900}}}));
    const int b = recorder.addDocument(
        document("file:///b.html", {{"x", {0, 500}}}, {{1, "B", {0, 0}}, {2, "B.1", {0, 400}}}));
    // Page origin (10, 30) points, 0.1 point per document pixel.
    const QPointF origin(10, 30);
    recorder.addPrintedSlice(a, 1, 1000, 2000, origin, 0.1);
    recorder.addPrintedSlice(a, 0, 0, 1000, origin, 0.1);
    recorder.addPrintedSlice(a, 5, 0, 1000, origin, 0.1); // printed again later
    recorder.addPrintedSlice(b, 2, 0, 1000, origin, 0.1);
    recorder.addPrintedSlice(b, 3, 1000, 1000, origin, 0.1); // empty: ignored

    const QRectF box(1, 2, 3, 4);
    recorder.addJump(a, 0, box, "file:///a.html", "mid", {"file:///a.html#mid", {}, false});
    recorder.addJump(b, 2, box, "file:///a.html", "", {"file:///a.html", {}, false});
    recorder.addJump(b, 2, box, "file:///a.html", "late", {"file:///a.html#late", {}, false});
    recorder.addJump(a, 0, box, "file:///b.html", "x", {"b.html#x", {}, false});
    recorder.addJump(a, 0, box, "file:///b.html", "TOP", {"b.html#TOP", {}, false});
    recorder.addJump(a, 0, box, "file:///c.html", "", {"c.html", "file:///dir/a.html", true});

    const PdfNavigation navigation = recorder.navigation();
    ASSERT_EQ(navigation.links.size(), 6u);
    const auto &links = navigation.links;
    EXPECT_EQ(links[0].target.page, 1);
    EXPECT_DOUBLE_EQ(links[0].target.left, 13);
    EXPECT_DOUBLE_EQ(links[0].target.top, 80);
    EXPECT_EQ(links[0].box, box);
    EXPECT_EQ(links[1].target.page, 0) << "a whole document opens at its first print";
    EXPECT_DOUBLE_EQ(links[1].target.top, 30);
    EXPECT_FALSE(links[2].target.isValid()) << "its slice was never printed";
    EXPECT_EQ(links[2].uri, QStringLiteral("file:///a.html#late"));
    EXPECT_EQ(links[3].target.page, 2);
    EXPECT_DOUBLE_EQ(links[3].target.top, 80);
    EXPECT_EQ(links[4].target.page, 2) << "top names the start";
    EXPECT_FALSE(links[5].target.isValid());
    EXPECT_EQ(links[5].uri, QStringLiteral("file:///dir/c.html")) << "resolved against the base";
    EXPECT_TRUE(links[0].uri.isEmpty()) << "a jump that lands needs no address";

    // Headings in document order, documents in the order they came; the
    // one whose slice was not printed is left out.
    QStringList titles;
    for (const PdfOutlineItem &item : navigation.outline)
        titles << item.title;
    EXPECT_EQ(titles, (QStringList{"A", "A.1", "A.1.1", "B", "B.1"}));
    EXPECT_EQ(navigation.outline[2].target.page, 1);
    EXPECT_EQ(navigation.outline[2].level, 3);

    // A restarted output forgets its pages; clear() forgets everything.
    recorder.forgetPages();
    EXPECT_TRUE(recorder.navigation().isEmpty());
    recorder.clear();
    recorder.addPrintedSlice(a, 0, 0, 10, origin, 0.1);
    EXPECT_TRUE(recorder.navigation().isEmpty());
}

// Two loads of the same file: a link prefers its own document's print.
TEST(NavigationRecorder, ALinkPrefersItsOwnDocument)
{
    NavigationRecorder recorder;
    const int first = recorder.addDocument(document("file:///same.html", {{"x", {0, 10}}}));
    const int second = recorder.addDocument(document("file:///same.html", {{"x", {0, 10}}}));
    recorder.addPrintedSlice(first, 0, 0, 100, {}, 1);
    recorder.addPrintedSlice(second, 1, 0, 100, {}, 1);
    recorder.addJump(second, 1, {}, "file:///same.html", "x", {"#x", {}, false});
    recorder.addJump(first, 0, {}, "file:///same.html", "x", {"#x", {}, false});
    const PdfNavigation navigation = recorder.navigation();
    EXPECT_EQ(navigation.links[0].target.page, 1);
    EXPECT_EQ(navigation.links[1].target.page, 0);
}
