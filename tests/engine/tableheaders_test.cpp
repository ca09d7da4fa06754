// Long tables with a header and a footer group, checked on the printed file:
// the header rows open and the footer rows close every page the table spans,
// the body rows are printed once, and jumps land on their rows.
#include "pdfprobe.h"
#include "printedwords.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace quirex::test;

namespace
{

constexpr int kRows = 160;

// An invoice of kRows rows between a paragraph and a link to row 120; the
// rows take the first words.
QString invoice(Words &words, const QString &tableStyle)
{
    QString rows;
    for (int i = 1; i <= kRows; ++i)
        rows += QStringLiteral("<tr%1><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(i == 120 ? QStringLiteral(" id=row120") : QString())
                    .arg(words.next(), words.run(2 + i % 7), words.next());
    return QStringLiteral("<html><body><p>%1 <a href='#row120'>%2</a></p>"
                          "<table border=1 cellspacing=0 style='%3'>"
                          "<tfoot><tr><td>FootTotal</td><td>FootNote</td><td>FootSum</td></tr>"
                          "</tfoot><thead><tr><th>HeadItem</th><th>HeadText</th><th>HeadPrice</th>"
                          "</tr></thead><tbody>%4</tbody></table><p>%5</p></body></html>")
        .arg(words.run(20), words.next(), tableStyle, rows, words.run(10));
}

const PdfWord *findWord(const QVector<PdfWord> &words, const QString &text)
{
    const auto it = std::find_if(words.begin(), words.end(),
                                 [&text](const PdfWord &word) { return word.text == text; });
    return it == words.end() ? nullptr : &*it;
}

void checkInvoice(bool keepTablesWhole)
{
    Words words;
    const QString html = invoice(words, QString());
    const QString output = scratchFolder() + QStringLiteral("/invoice.pdf");
    auto engine = std::make_unique<QUIREX>();
    engine->setProperty("OutputFileName", output);
    engine->setProperty("PostEntireTables", keepTablesWhole);
    engine->BeginDoc();
    engine->LoadHTMLString(html);
    const int pages = engine->numberOfPages();
    for (int page = 1; page <= pages; ++page)
        engine->ConvertPage(page);
    engine->EndDoc();
    ASSERT_GE(pages, 3);

    const PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), pages);
    for (int page = 0; page < pages; ++page) {
        const QVector<PdfWord> printed = pdf.words(page);
        double bodyTop = 1e9;
        double bodyBottom = -1e9;
        for (const PdfWord &word : printed)
            if (word.text.startsWith(QLatin1Char('w'))) {
                bodyTop = std::min(bodyTop, word.box.top());
                bodyBottom = std::max(bodyBottom, word.box.bottom());
            }
        const PdfWord *head = findWord(printed, QStringLiteral("HeadPrice"));
        const PdfWord *foot = findWord(printed, QStringLiteral("FootSum"));
        ASSERT_TRUE(head) << "no header on page " << page + 1;
        ASSERT_TRUE(foot) << "no footer on page " << page + 1;
        EXPECT_EQ(pdf.text(page).count(QStringLiteral("HeadPrice")), 1) << page + 1;
        EXPECT_EQ(pdf.text(page).count(QStringLiteral("FootSum")), 1) << page + 1;
        // The first page holds the paragraph above the table.
        if (page > 0) {
            EXPECT_LT(head->box.bottom(), bodyTop) << page + 1;
        }
        if (page + 1 < pages) {
            EXPECT_GT(foot->box.top(), bodyBottom) << page + 1;
        }
    }

    const PrintedWords placed = readWords(output);
    const QStringList notOnce = wordsNotPrintedOnce(placed, words.count());
    EXPECT_TRUE(notOnce.isEmpty()) << notOnce.size() << " words: " << firstOf(notOnce);
    EXPECT_TRUE(placed.outside.isEmpty()) << firstOf(placed.outside);

    // The link on page 1 opens the page of row 120 at that row, below the
    // repeated header.
    const QVector<LinkAnnotation> links = pdf.links(0);
    ASSERT_EQ(links.size(), 1);
    const int rowPage = links[0].targetPage;
    ASSERT_GT(rowPage, 0);
    const QVector<PdfWord> onRowPage = pdf.words(rowPage);
    const PdfWord *head = findWord(onRowPage, QStringLiteral("HeadItem"));
    ASSERT_TRUE(head);
    // Row 120's first word (the rows have the first words of the document).
    int rowWord = 1;
    for (int i = 1; i < 120; ++i)
        rowWord += 4 + i % 7;
    const PdfWord *row = findWord(onRowPage, Words::word(rowWord));
    ASSERT_TRUE(row) << "row 120 not on the jump's page " << rowPage + 1;
    const double targetFromTop = pdf.pageSizePoints(rowPage).height() - links[0].targetTop;
    EXPECT_GT(targetFromTop, head->box.bottom());
    EXPECT_NEAR(targetFromTop, row->box.top(), 6);
}

} // namespace

// Also with tables kept whole: a table taller than a page keeps its rows.
TEST(TableHeaders, RepeatOnEveryPageTheTableSpansAndJumpsLandOnTheirRows)
{
    for (const bool keepTablesWhole : {false, true}) {
        SCOPED_TRACE(keepTablesWhole ? "tables kept whole" : "tables may be cut");
        checkInvoice(keepTablesWhole);
    }
}
