// Blocks placed across a page end at many heights, one pixel step apart or
// less, checked on the printed file: every word in the text layer once, on a
// page that shows it whole.
#include "printedwords.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QPair>
#include <QVariant>
#include <QVector>

#include <gtest/gtest.h>

#include <memory>

using namespace quirex::test;

namespace
{

constexpr int kPositions = 20;

// Converts `html` one page at a time, as the desktop converter does.
PrintedWords convert(QUIREX &engine, const QString &html, int position)
{
    const QString output = scratchFolder() + QStringLiteral("/position%1.pdf").arg(position);
    engine.setProperty("OutputFileName", output);
    engine.BeginDoc();
    engine.LoadHTMLString(html);
    for (int page = 1; page <= engine.numberOfPages(); ++page)
        engine.ConvertPage(page);
    engine.EndDoc();
    return readWords(output);
}

void expectEveryWordOnceInside(const PrintedWords &printed, const Words &words, int position)
{
    const QStringList notOnce = wordsNotPrintedOnce(printed, words.count());
    EXPECT_TRUE(notOnce.isEmpty())
        << "position " << position << ": " << notOnce.size() << " words: " << firstOf(notOnce);
    EXPECT_TRUE(printed.outside.isEmpty())
        << "position " << position << ": " << firstOf(printed.outside);
}

// Two listings, each across a page end: one in a monospaced font at its
// natural line height, one whose glyph boxes are taller than its lines.
QString codeBlocks(Words &words, double spacer)
{
    QString first;
    for (int i = 0; i < 80; ++i)
        first += QStringLiteral("# %1\n").arg(words.run(1 + i % 5));
    QString second;
    for (int i = 0; i < 90; ++i)
        second += QStringLiteral("%1 ;\n").arg(words.run(1 + i % 4));
    return QStringLiteral(
               "<html><body style='margin:8px'><div style='height:%1px'></div>"
               "<pre style=\"font:13px 'DejaVu Sans Mono';background:#eee\">%2</pre>"
               "<pre style=\"font:bold 14px/1.0 'Liberation Mono';background:#eef\">%3</pre>"
               "</body></html>")
        .arg(spacer, 0, 'f', 2)
        .arg(first, second);
}

// Rows whose cells' lines do not line up: a bold monospaced name in a narrow
// column beside a proportional description, and a smaller note. `rows`
// receives the first and last word of each row.
QString misalignedRows(Words &words, double spacer, QVector<QPair<int, int>> *ranges)
{
    QString rows;
    for (int i = 0; i < 24; ++i) {
        const int first = words.count() + 1;
        rows +=
            QStringLiteral("<tr><td style=\"width:9em;font:bold 13px 'Liberation Mono'\">%1</td>"
                           "<td style=\"font:15px/1.3 'Liberation Serif'\">%2</td>"
                           "<td style='font-size:11px;width:8em'>%3</td></tr>")
                .arg(words.run(3 + i % 3), words.run(30 + 13 * (i % 4)),
                     words.run(4 + 5 * (i % 3)));
        ranges->append({first, words.count()});
    }
    return QStringLiteral("<html><body><div style='height:%1px'></div>"
                          "<table border=1 cellspacing=0 cellpadding=3>%2</table></body></html>")
        .arg(spacer, 0, 'f', 2)
        .arg(rows);
}

} // namespace

TEST(PageEndPositions, CodeBlocksGiveEveryLineOnceInTheTextLayer)
{
    auto engine = std::make_unique<QUIREX>();
    for (int position = 0; position < kPositions; ++position) {
        Words words;
        // 0.8 px steps: the page end passes through more than a line.
        const QString html = codeBlocks(words, 100 + 0.8 * position);
        const PrintedWords printed = convert(*engine, html, position);
        ASSERT_GE(engine->numberOfPages(), 3);
        expectEveryWordOnceInside(printed, words, position);
    }
}

TEST(PageEndPositions, TableRowsWithMisalignedCellsAreNeverCut)
{
    auto engine = std::make_unique<QUIREX>();
    for (int position = 0; position < kPositions; ++position) {
        Words words;
        QVector<QPair<int, int>> rows;
        // 9 px steps: the page end passes through a whole row.
        const QString html = misalignedRows(words, 200 + 9 * position, &rows);
        const PrintedWords printed = convert(*engine, html, position);
        ASSERT_GE(engine->numberOfPages(), 2);
        expectEveryWordOnceInside(printed, words, position);
        // Every row fits a page, so none is split between two.
        for (int row = 0; row < rows.size(); ++row) {
            const int top = printed.pages.value(Words::word(rows[row].first)).value(0);
            const int bottom = printed.pages.value(Words::word(rows[row].second)).value(0);
            EXPECT_EQ(top, bottom) << "position " << position << ": row " << row + 1;
        }
    }
}
