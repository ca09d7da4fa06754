// The grouping of a long, flat body for painting: it must never move a box,
// must leave documents alone where it could change selector matching or
// layout, and a conversion must come out exactly as without it.
#include "bodygrouping.h"
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"
#include "webtestutil.h"

#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

#include <gtest/gtest.h>

using namespace quirex::engine;
using quirex::test::LinkAnnotation;
using quirex::test::OutlineEntry;
using quirex::test::PdfProbe;

namespace
{

// About 700 children of the body side by side (180 sections): headings and paragraphs
// whose margins collapse, code, tables, runs of inline content (an image and
// bare text), rules, hidden elements, comments and blank text.
QString longBody(int sections)
{
    QString html;
    for (int s = 0; s < sections; ++s) {
        const QString n = QString::number(s);
        html += QStringLiteral("<h2 id='s%1'>Section %1</h2>\n<p>Text of section %1 that runs on "
                               "for a while, <a href='#s%2'>next</a>, "
                               "<a href='https://example.org/%1'>away</a>.</p>\n")
                    .arg(n, QString::number(s + 1));
        switch (s % 4) {
        case 0:
            html += QStringLiteral("<pre>code %1\n  more</pre><!-- note -->\n").arg(n);
            break;
        case 1:
            html += QStringLiteral("<table border=1><tr><td>cell %1</td><td>wrapped cell text "
                                   "</td></tr></table>\n")
                        .arg(n);
            break;
        case 2:
            html += QStringLiteral("bare text %1 <img width=40 height=10> <b>bold</b>\n").arg(n);
            break;
        default:
            html += QStringLiteral("<hr><div style='display:none'>hidden</div><div><p>inner "
                                   "%1</p></div>\n")
                        .arg(n);
        }
    }
    return html;
}

QString document(const QString &head, const QString &bodyAttributes, const QString &first,
                 int sections = 180)
{
    return QStringLiteral("<html><head><style>h2{margin:1.2em 0 .4em}p{margin:.8em 0}</style>") +
           head + QStringLiteral("</head><body") + bodyAttributes + u'>' + first +
           longBody(sections) + QStringLiteral("</body></html>");
}

QList<QRect> boxesOfBodyElements(QWebFrame *frame)
{
    QList<QRect> boxes;
    for (const QWebElement &element : frame->findAllElements(QStringLiteral("body *")))
        if (element.localName() != QLatin1String("quirex-group"))
            boxes.append(element.geometry());
    return boxes;
}

} // namespace

TEST(BodyGrouping, GroupsALongBodyWithoutMovingABoxAndTakesTheGroupsOutAgain)
{
    // In standards and in quirks mode (where the body's first margins are
    // treated differently).
    for (const QString &doctype : {QStringLiteral("<!DOCTYPE html>"), QString()}) {
        QWebPage page;
        page.setViewportSize(QSize(700, 900));
        ASSERT_TRUE(quirex::test::loadHtml(page, doctype + document({}, {}, {})));
        QWebFrame *frame = page.mainFrame();
        const QString loaded = frame->findFirstElement(QStringLiteral("body")).toInnerXml();
        const QList<QRect> boxes = boxesOfBodyElements(frame);
        const QSize contents = frame->contentsSize();

        const int groups = groupLongBody(frame, 400);
        ASSERT_GT(groups, 1) << qPrintable(doctype);
        EXPECT_EQ(frame->findAllElements(QStringLiteral("body > quirex-group")).count(), groups);
        EXPECT_EQ(frame->findFirstElement(QStringLiteral("body")).firstChild().localName(),
                  QStringLiteral("quirex-group"));
        EXPECT_EQ(boxesOfBodyElements(frame), boxes);
        EXPECT_EQ(frame->contentsSize(), contents);

        ungroupBody(frame);
        EXPECT_EQ(frame->findFirstElement(QStringLiteral("body")).toInnerXml(), loaded);
        EXPECT_EQ(boxesOfBodyElements(frame), boxes);
    }
}

TEST(BodyGrouping, LeavesDocumentsAloneWhereGroupsCouldChangeTheResult)
{
    struct Case {
        const char *head;
        const char *bodyAttributes;
        const char *first;
    };
    const Case cases[] = {
        // Selectors that depend on the parent or the siblings, or that
        // could match a group.
        {"<style>body > p{color:red}</style>", "", ""},
        {"<style>h2 + p{margin-top:0}</style>", "", ""},
        {"<style>h2 ~ pre{color:red}</style>", "", ""},
        {"<style>p:first-child{font-weight:bold}</style>", "", ""},
        {"<style>table:nth-of-type(2n){color:red}</style>", "", ""},
        {"<style>*{line-height:1.3}</style>", "", ""},
        {"<style>:lang(en){font-size:90%}</style>", "", ""},
        {"<style>[style]{color:red}</style>", "", ""},
        {"<style>@media screen{div:not(.x){color:red}}</style>", "", ""},
        // Declarations whose result depends on the parent or on siblings.
        {"<style>pre{background:inherit}</style>", "", ""},
        {"<style>h2{counter-increment:chapter}</style>", "", ""},
        {"<style>pre{float:right}</style>", "", ""},
        {"<style>div{height:50%}</style>", "", ""},
        {"", "", "<p style='position:relative;top:10%'>moved</p>"},
        {"<style>body{white-space:pre-wrap}</style>", "", ""},
        {"<style>body{-webkit-column-count:2}</style>", "", ""},
        // Content that moving would disturb or that a script could watch.
        {"<script>var seen = 0;</script>", "", ""},
        {"", " onload='void 0'", ""},
        {"", "", "<p onclick='void 0'>click</p>"},
        {"", "", "<iframe src='about:blank'></iframe>"},
        {"", "", "<style>p{color:red}</style>"},
        {"", "", "<img align=left width=10 height=10>"},
        {"", "", "<li>an item outside any list</li>"},
        {"", "", "<div style='position:absolute'>placed</div>"},
    };
    for (const Case &c : cases) {
        QWebPage page;
        page.setViewportSize(QSize(700, 900));
        ASSERT_TRUE(quirex::test::loadHtml(page, document(QString::fromLatin1(c.head),
                                                          QString::fromLatin1(c.bodyAttributes),
                                                          QString::fromLatin1(c.first))));
        QWebFrame *frame = page.mainFrame();
        const QString loaded = frame->findFirstElement(QStringLiteral("body")).toInnerXml();
        EXPECT_EQ(groupLongBody(frame, 400), 0) << c.head << c.bodyAttributes << c.first;
        EXPECT_EQ(frame->findFirstElement(QStringLiteral("body")).toInnerXml(), loaded) << c.head;
    }

    // A shorter body gains less than grouping costs.
    QWebPage page;
    ASSERT_TRUE(quirex::test::loadHtml(page, document({}, {}, {})));
    EXPECT_EQ(groupLongBody(page.mainFrame(), 2000), 0);
}

TEST(BodyGrouping, AGroupedConversionIsTheConversionWithoutGroups)
{
    // The same document twice: the second has a rule that matches nothing
    // but keeps the body as it is.
    // More than 5,000 children: the engine groups no shorter body.
    const int sections = 1400;
    const QString grouped = quirex::test::writeFile(QStringLiteral("grouped.html"),
                                                    document({}, {}, {}, sections).toUtf8());
    const QString flat = quirex::test::writeFile(
        QStringLiteral("flat.html"),
        document(QStringLiteral("<style>x-none > x-none{color:red}</style>"), {}, {}, sections)
            .toUtf8());

    bool wasGrouped[2] = {false, false};
    const QString files[2] = {grouped, flat};
    for (int i = 0; i < 2; ++i) {
        QUIREX engine;
        engine.setProperty("OutputFileName", files[i] + QStringLiteral(".pdf"));
        engine.BeginDoc();
        engine.LoadHTMLFile(files[i]);
        const int pages = engine.numberOfPages();
        ASSERT_GT(pages, 5);
        engine.ConvertAll();
        wasGrouped[i] =
            engine.mainFrame()->findAllElements(QStringLiteral("quirex-group")).count() > 0;
        engine.EndDoc();
        // A script run afterwards sees the document as it was loaded, and
        // the slicing is that of the loaded document.
        engine.RunJavaScript(QStringLiteral("document.title = document.body.firstChild.localName"));
        EXPECT_EQ(engine.mainFrame()->title(), QStringLiteral("h2"));
        EXPECT_EQ(engine.mainFrame()->findAllElements(QStringLiteral("quirex-group")).count(), 0);
        EXPECT_EQ(engine.numberOfPages(), pages);
    }
    ASSERT_TRUE(wasGrouped[0]);
    ASSERT_FALSE(wasGrouped[1]);

    const PdfProbe withGroups(grouped + QStringLiteral(".pdf"));
    const PdfProbe without(flat + QStringLiteral(".pdf"));
    ASSERT_TRUE(withGroups.isValid() && without.isValid());
    ASSERT_EQ(withGroups.pageCount(), without.pageCount());
    // The whole text, pages parted by form feeds.
    EXPECT_EQ(withGroups.text(), without.text());
    int jumps = 0;
    for (int page = 0; page < without.pageCount(); ++page) {
        const QVector<LinkAnnotation> a = withGroups.links(page);
        const QVector<LinkAnnotation> b = without.links(page);
        ASSERT_EQ(a.size(), b.size()) << "page " << page;
        for (int i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].rect, b[i].rect);
            // Addresses of the document itself carry its own file name.
            EXPECT_EQ(QString(a[i].uri).replace(QLatin1String("grouped.html"), "flat.html"),
                      b[i].uri);
            EXPECT_EQ(a[i].targetPage, b[i].targetPage);
            EXPECT_EQ(a[i].targetTop, b[i].targetTop);
            jumps += a[i].targetPage >= 0;
        }
    }
    EXPECT_GT(jumps, 100);
    const QVector<OutlineEntry> outline = withGroups.outline();
    const QVector<OutlineEntry> flatOutline = without.outline();
    ASSERT_EQ(outline.size(), flatOutline.size());
    for (int i = 0; i < outline.size(); ++i) {
        EXPECT_EQ(outline[i].title, flatOutline[i].title);
        EXPECT_EQ(outline[i].page, flatOutline[i].page);
        EXPECT_EQ(outline[i].top, flatOutline[i].top);
    }
}
