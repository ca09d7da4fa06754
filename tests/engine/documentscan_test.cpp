#include "documentscan.h"
#include "pointlist.h"
#include "webtestutil.h"

#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

// Lays out `body` one CSS pixel per document pixel, 800 pixels wide, with
// blocks of exact heights so the expected edges are known.
class DocumentScan : public ::testing::Test
{
protected:
    void load(const QString &body)
    {
        page.setPreferredContentsSize(QSize(800, 600));
        page.setViewportSize(QSize(800, 600));
        ASSERT_TRUE(quirex::test::loadHtml(
            page, QStringLiteral("<html><head><style>body{margin:0} div{height:100px}"
                                 "</style></head><body>%1</body></html>")
                      .arg(body)));
    }
    QWebElement root() { return page.mainFrame()->documentElement(); }

    QWebPage page;
    PointList breaks, avoided, points, images, tables;
};

} // namespace

TEST_F(DocumentScan, ForcedBreaksComeFromAlwaysOnly)
{
    load(QStringLiteral("<div></div>"
                        "<div style='page-break-before: always'></div>" // top 100
                        "<div style='page-break-after: always'></div>"  // bottom 299
                        "<div style='page-break-before: left'></div>"
                        "<div style='page-break-before: right'></div>"
                        "<div style='page-break-after: auto'></div>"
                        "<div class='x' style='PAGE-BREAK-BEFORE: ALWAYS'></div>")); // top 600
    findCssPageBreaks(root(), breaks, avoided);
    EXPECT_EQ(breaks.values(), (std::vector<int>{100, 299, 600}));
    EXPECT_TRUE(avoided.isEmpty());
}

TEST_F(DocumentScan, ModernBreakPropertiesCountLikeTheirOlderForms)
{
    load(QStringLiteral("<style>.b{break-before:page} .a{break-after:page}"
                        ".i{break-inside:avoid-page} .c{break-before:column}</style>"
                        "<div></div><div class='b'></div><div class='a'></div>"
                        "<div class='i'></div><div class='c'></div>"));
    findCssPageBreaks(root(), breaks, avoided);
    EXPECT_EQ(breaks.values(), (std::vector<int>{100, 299}));
    EXPECT_EQ(avoided.values(), (std::vector<int>{399}));
}

TEST_F(DocumentScan, StyleSheetRulesAndInlineStylesCascade)
{
    load(QStringLiteral("<style>.always{page-break-before:always !important}"
                        ".soft{page-break-before:always} p{page-break-inside:avoid}</style>"
                        "<div></div><div class='always' style='page-break-before:auto'></div>"
                        "<div class='soft' style='page-break-before:avoid'></div>"
                        "<p style='margin:0;height:50px'>x</p>"));
    findCssPageBreaks(root(), breaks, avoided);
    EXPECT_EQ(breaks.values(), (std::vector<int>{100}));
    EXPECT_EQ(avoided.values(), (std::vector<int>{349}));
}

TEST_F(DocumentScan, PointsAreBottomEdgesInDocumentOrder)
{
    load(QStringLiteral("<div><span>a</span></div><div style='display:none'></div>"
                        "<div></div>"));
    findPoints(root(), {}, points, images, tables);
    // body, first div, its span, the hidden div (0), the last div.
    ASSERT_GE(points.size(), 4);
    EXPECT_TRUE(points.contains(99));
    EXPECT_TRUE(points.contains(199));
    EXPECT_TRUE(points.contains(0));
    EXPECT_TRUE(images.isEmpty());
    EXPECT_TRUE(tables.isEmpty());
}

TEST_F(DocumentScan, TablesKeptWholeAddNoInnerPoints)
{
    const QString table = QStringLiteral(
        "<table style='border-spacing:0' cellpadding=0><tr><td style='height:40px'>a</td></tr>"
        "<tr><td style='height:60px'>b</td></tr></table><img width=10 height=30>");
    load(table);
    PointScanOptions whole;
    whole.keepImagesWhole = true;
    whole.keepTablesWhole = true;
    findPoints(root(), whole, points, images, tables);
    EXPECT_EQ(tables.values(), (std::vector<int>{99}));
    EXPECT_FALSE(points.contains(39)) << "a row inside a table kept whole";
    EXPECT_EQ(images.size(), 1);

    PointList rows, noImages, noTables;
    findPoints(root(), {}, rows, noImages, noTables);
    EXPECT_TRUE(rows.contains(39));
    EXPECT_TRUE(noTables.isEmpty());
}

TEST_F(DocumentScan, DeeplyNestedDocumentDoesNotExhaustTheStack)
{
    QString nested;
    for (int i = 0; i < 3000; ++i)
        nested += QStringLiteral("<span>");
    load(nested + QStringLiteral("x"));
    findPoints(root(), {}, points, images, tables);
    EXPECT_GE(points.size(), 1);
}
