// Page boundaries through every kind of block a manual holds, checked on the
// printed file: no line of text is cut between two pages.
#include "printedwords.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QHash>
#include <QMarginsF>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

using quirex::test::firstOf;
using quirex::test::PrintedWords;
using quirex::test::readWords;
using quirex::test::scratchFolder;
using quirex::test::Words;
using quirex::test::wordsNotPrintedOnce;

namespace
{

struct Layout {
    QString paper = QStringLiteral("a4");
    bool landscape = false;
    int zoom = 100;
};

struct BoundaryCase {
    const char *name;
    QString (*document)(Words &words);
    Layout layout;
};

void PrintTo(const BoundaryCase &c, std::ostream *out)
{
    *out << c.name;
}

class PageBoundary : public ::testing::TestWithParam<BoundaryCase>
{
protected:
    // Converts `html` as the desktop converter does, one page at a time.
    int convert(const QString &html, const Layout &layout)
    {
        output = scratchFolder() + QStringLiteral("/boundary.pdf");
        engine->setProperty("OutputFileName", output);
        engine->setProperty("PaperSize", layout.paper);
        engine->setProperty("LandscapePageOrientation", layout.landscape);
        engine->BeginDoc();
        engine->setProperty("ContentZoomFactor", layout.zoom);
        engine->LoadHTMLString(html);
        const int pages = engine->numberOfPages();
        for (int page = 1; page <= pages; ++page)
            engine->ConvertPage(page);
        engine->EndDoc();
        return pages;
    }

    std::unique_ptr<QUIREX> engine = std::make_unique<QUIREX>();
    QString output;
};

QString page(const QString &body)
{
    return QStringLiteral("<html><head><style>body{font-family:'Liberation Serif'}</style>"
                          "</head><body>%1</body></html>")
        .arg(body);
}

QString longPre(Words &words)
{
    QString lines;
    for (int i = 0; i < 240; ++i)
        lines += words.run(1 + i % 6) + QLatin1Char('\n');
    return page(QStringLiteral("<p>%1</p><pre style='background:#eee'>%2</pre><p>%3</p>")
                    .arg(words.run(30), lines, words.run(20)));
}

QString longListItems(Words &words)
{
    QString items;
    for (int i = 0; i < 30; ++i) {
        items += QStringLiteral("<li>%1").arg(words.run(40 + 17 * (i % 4)));
        if (i % 5 == 2)
            items +=
                QStringLiteral("<ol><li>%1</li><li>%2</li></ol>").arg(words.run(50), words.run(9));
        items += QStringLiteral("</li>");
    }
    return page(QStringLiteral("<ul>%1</ul>").arg(items));
}

QString definitionList(Words &words)
{
    QString entries;
    for (int i = 0; i < 25; ++i)
        entries +=
            QStringLiteral("<dt><b>%1</b></dt><dd>%2 <code>%3</code> %4</dd>")
                .arg(words.run(2), words.run(60 + 23 * (i % 3)), words.run(2), words.run(20));
    return page(QStringLiteral("<dl>%1</dl>").arg(entries));
}

QString divOfText(Words &words)
{
    QString text;
    for (int i = 0; i < 40; ++i) {
        text += words.run(30) + QLatin1Char(' ');
        if (i % 4 == 3)
            text +=
                QStringLiteral(" <i>%1</i> <a href='#x'>%2</a> ").arg(words.run(3), words.run(2));
        if (i % 7 == 6)
            text += QStringLiteral("<br><br>");
    }
    return page(QStringLiteral("<div>%1</div>").arg(text));
}

QString blockquote(Words &words)
{
    QString quoted;
    for (int i = 0; i < 12; ++i)
        quoted += words.run(70) + QStringLiteral("<br>");
    return page(QStringLiteral("<p>%1</p><blockquote style='border-left:3px solid #999;"
                               "padding-left:1em;line-height:1.6'>%2</blockquote><p>%3</p>")
                    .arg(words.run(40), quoted, words.run(40)));
}

QString tableCells(Words &words)
{
    QString rows;
    for (int i = 0; i < 16; ++i)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td style='font-size:80%'>%3</td></tr>")
                    .arg(words.run(4), words.run(20 + 35 * (i % 5)), words.run(5 + 60 * (i % 3)));
    return page(QStringLiteral("<table border=1 cellpadding=4>%1</table>").arg(rows));
}

QString floatedImage(Words &words)
{
    QString body;
    for (int i = 0; i < 24; ++i)
        body += QStringLiteral(
                    "<p><img "
                    "src='data:image/gif;base64,R0lGODlhAQABAIAAAAUEBAAAACwAAAAAAQABAAACAkQBADs=' "
                    "width=180 height=%1 style='float:%2;"
                    "background:#468;margin:4px'>%3</p>")
                    .arg(120 + 40 * (i % 4))
                    .arg(i % 2 ? QStringLiteral("left") : QStringLiteral("right"))
                    .arg(words.run(60 + 37 * (i % 3)));
    return page(body);
}

QString preInTableCell(Words &words)
{
    QString lines;
    for (int i = 0; i < 500; ++i)
        lines += words.run(1 + i % 4) + QLatin1Char('\n');
    return page(QStringLiteral("<table border=1><tr><td>%1</td><td><pre>%2</pre></td></tr></table>")
                    .arg(words.run(3), lines));
}

const BoundaryCase kCases[] = {
    {"LongPre", longPre, {}},
    {"LongListItems", longListItems, {}},
    {"DefinitionList", definitionList, {}},
    {"DivOfText", divOfText, {}},
    {"Blockquote", blockquote, {}},
    {"TableCellsOfDifferentHeights", tableCells, {}},
    {"TextBesideFloatedImages", floatedImage, {}},
    {"FiveHundredLinePreInATableCell", preInTableCell, {}},
    {"ZoomFifty", definitionList, {QStringLiteral("a4"), false, 50}},
    {"ZoomTwoHundred", divOfText, {QStringLiteral("a4"), false, 200}},
    {"Landscape", tableCells, {QStringLiteral("a4"), true, 100}},
    {"LetterPaper", longListItems, {QStringLiteral("letter"), false, 100}},
};

} // namespace

TEST_P(PageBoundary, NoLineOfTextIsCutBetweenPages)
{
    const BoundaryCase &c = GetParam();
    Words words;
    const QString html = c.document(words);
    const int pages = convert(html, c.layout);
    ASSERT_GE(pages, 2) << "the document must cross a page boundary";

    const std::vector<int> &slices = engine->sliceBoundaries();
    const int pageHeight = 10 * (engine->property("PaperHeight").toInt() - 80);
    for (size_t i = 1; i + 1 < slices.size(); ++i)
        EXPECT_LE(slices[i] - slices[i - 1], pageHeight) << "slice " << i;

    const PrintedWords printed = readWords(output);
    EXPECT_TRUE(printed.outside.isEmpty())
        << printed.outside.size()
        << " word boxes outside the printable area: " << firstOf(printed.outside);
    const QStringList notOnce = wordsNotPrintedOnce(printed, words.count());
    EXPECT_TRUE(notOnce.isEmpty()) << notOnce.size() << " words: " << firstOf(notOnce);
}

INSTANTIATE_TEST_SUITE_P(Documents, PageBoundary, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BoundaryCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(PageBoundary, FortyAvoidedBlocksAreNeverSplit)
{
    Words words;
    QString body = QStringLiteral("<style>.keep{page-break-inside:avoid;border:1px solid #ccc;"
                                  "padding:0 6px}</style>");
    constexpr int blocks = 40;
    QVector<QPair<int, int>> ranges; // first and last word of each block
    for (int b = 0; b < blocks; ++b) {
        body += QStringLiteral("<p>%1</p>").arg(words.run(8 + 11 * (b % 3)));
        const int first = words.count() + 1;
        body += QStringLiteral("<div class='keep'>");
        for (int p = 0; p < 2 + b % 4; ++p)
            body += QStringLiteral("<p>%1</p>").arg(words.run(25 + 19 * ((b + p) % 4)));
        body += QStringLiteral("</div>");
        ranges.append({first, words.count()});
    }
    const int pages = convert(page(body), Layout());
    ASSERT_GE(pages, 6);

    const PrintedWords printed = readWords(output);
    const QStringList notOnce = wordsNotPrintedOnce(printed, words.count());
    ASSERT_TRUE(notOnce.isEmpty()) << firstOf(notOnce);
    QStringList split;
    for (int b = 0; b < blocks; ++b) {
        const auto pageOf = [&printed](int n) {
            return printed.pages.value(QStringLiteral("w%1").arg(n, 5, 10, QLatin1Char('0')))
                .value(0);
        };
        if (pageOf(ranges[b].first) != pageOf(ranges[b].second))
            split << QStringLiteral("block %1 on pages %2-%3")
                         .arg(b + 1)
                         .arg(pageOf(ranges[b].first))
                         .arg(pageOf(ranges[b].second));
    }
    EXPECT_TRUE(split.isEmpty()) << firstOf(split);
    EXPECT_TRUE(printed.outside.isEmpty()) << firstOf(printed.outside);
}
