#include "documentscan.h"
#include "documenttree.h"
#include "flowstyleprobe.h"
#include "linefinder.h"
#include "pointlist.h"
#include "webtestutil.h"

#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

#include <gtest/gtest.h>

#include <vector>

using namespace quirex::engine;

namespace
{

// Blocks a manual holds, with the attributes and inline styles that make an
// element's display, float, padding or font differ from its tag's: floated,
// positioned and hidden blocks, a flex parent, aligned tables and images,
// fonts and languages set on a parent, tables whose cells differ in height,
// classes the style sheet may give their own values.
QString manual(const QString &head)
{
    const QString words = QStringLiteral("lorem ipsum dolor sit amet consectetur elit sed do ");
    QString html = QStringLiteral("<html><head>%1</head><body>").arg(head);
    for (int i = 0; i < 60; ++i) {
        const QString text = words.repeated(2 + i % 13);
        const QString more = words.repeated(1 + i % 4);
        const QString blocks[] = {
            QStringLiteral("<table><tr><td>%1</td><td>%2</td></tr><tr><th>%2</th><td>%1</td></tr>"
                           "</table><table border=2 cellpadding=5><tr><td>%1</td></tr></table>"),
            QStringLiteral("<section><h1>%2</h1><article><h1>%2</h1><p>%1</p></article></section>"
                           "<p style='float:left;width:40%'>%1</p><p>%1 %2</p>"),
            QStringLiteral("<div style='font-size:13px'><p>%1</p><ul><li>%1<li>%2</ul></div>"
                           "<font size=5><p>%1</p></font><address>%1</address>"),
            QStringLiteral("<ol><li>%1<ol><li>%2<li>%1</ol><li style='position:absolute'>%2</ol>"
                           "<blockquote>%1<p>%2</p></blockquote><p hidden>%1</p>"),
            QStringLiteral("<div style='display:flex'><p>%1</p><div>%2</div></div><p lang=ja>%1"
                           "</p><dl><dt>%2<dd>%1 <big>big</big> %2</dl><pre>%2\n%2</pre>"
                           "<table><tr style='display:flex'><td>%1</td><td>%2</td></tr></table>"),
            QStringLiteral("<table align=right width=200><tr><td>%2</td></tr></table><p>%1</p>"
                           "<img align=left width=40 height=90><div>%1<p>%2</p>%1</div>"
                           "<p class=note>%1</p><p class='note box'>%2</p><ul class=x><li>%1"
                           "<li class=a>%2</ul><div class=box><p class=note>%1</p></div>"),
        };
        html += blocks[i % 6].arg(text, more);
    }
    return html + QStringLiteral("</body></html>");
}

// The page end the finder places at every fifth pixel of `html`, laid out
// at `zoom`, each with half a page to move up.
std::vector<int> cuts(const QString &html, double zoom, FlowDeclarations *declarations)
{
    QWebPage page;
    page.setPreferredContentsSize(QSize(773, 1043));
    page.setViewportSize(QSize(static_cast<int>(773 * zoom), static_cast<int>(1043 * zoom)));
    page.mainFrame()->setZoomFactor(zoom);
    if (!quirex::test::loadHtml(page, html))
        return {};
    *declarations = probeFlowDeclarations(page.mainFrame());
    const QWebElement root = page.mainFrame()->documentElement();
    DocumentTree tree;
    PointList points, images, tables;
    findPoints(root, {true, false}, points, images, tables, &tree);
    LineFinder finder(page.mainFrame(), root, tree);
    std::vector<int> placed;
    const int halfPage = static_cast<int>(1043 * zoom / 2);
    for (int end = 1; end < page.mainFrame()->contentsSize().height(); end += 5 * zoom)
        placed.push_back(finder.cutAtOrAbove(end, end - halfPage));
    return placed;
}

} // namespace

// Where the style sheets leave an element as its tag makes it, the finder
// takes its display, float, padding, border and line height from the tag;
// where no rule tells siblings apart, it reads them once for elements
// alike. A rule for elements that do not exist makes it read every
// element's own values. The page ends must not differ.
TEST(LineFinder, ValuesTakenFromTheTagOrFromElementsAlikeMoveNoPageEnd)
{
    const QString classes = QStringLiteral(
        "<style>p.note{line-height:1.6;padding:4px 0 9px;border-bottom:2px solid}"
        ".box{float:left;width:30%} li.a{display:inline} ul.x li{padding:3px 0 1px}</style>");
    const QString unused = QStringLiteral(
        "<style>x-none + x-none{display:block;float:left;padding:1px;font-size:9px}</style>");
    for (const double zoom : {1.0, 10.0}) {
        for (const QString &sheet : {QString(), classes}) {
            FlowDeclarations plain;
            FlowDeclarations read;
            const std::vector<int> alike = cuts(manual(sheet), zoom, &plain);
            const std::vector<int> each = cuts(manual(sheet + unused), zoom, &read);
            ASSERT_FALSE(plain.siblingRules);
            ASSERT_EQ(plain.display || plain.outOfFlow || plain.boxes, !sheet.isEmpty());
            ASSERT_TRUE(read.display && read.outOfFlow && read.boxes && read.siblingRules);
            ASSERT_GT(alike.size(), 500u);
            ASSERT_EQ(alike.size(), each.size());
            int moved = 0;
            for (size_t i = 0; i < alike.size(); ++i) {
                const int end = static_cast<int>(1 + 5 * zoom * i);
                EXPECT_EQ(alike[i], each[i]) << "zoom " << zoom << ", end " << end;
                moved += alike[i] != end;
            }
            EXPECT_GT(moved, static_cast<int>(alike.size() / 4)) << "most ends fall inside lines";
        }
    }
}
