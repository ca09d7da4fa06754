// Times the slicing pass (style scan, points scan, slicing loop) on a
// generated document of N elements (default 100,000). Prints one line per
// phase; cost must grow linearly with N. Then times the pass again with the
// line-aware step (recording the elements, page ends moved between lines of
// text, avoided blocks kept whole), on that document and on one of manual
// text (paragraphs, lists, listings, tables of wrapped cells), where most
// page ends fall inside a block.
#include "documentscan.h"
#include "documenttree.h"
#include "headlessapplication.h"
#include "linefinder.h"
#include "pageslicer.h"
#include "pointlist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace quirex::engine;

namespace
{

// Blocks of ten elements: a paragraph with inline children, a table row's
// worth of cells, an image, and now and then a forced break or an avoided
// block, so every kind of point appears.
QString generateDocument(int elements)
{
    QString html = QStringLiteral("<html><body>");
    int count = 0;
    for (int block = 0; count < elements; ++block) {
        const char *breakStyle = block % 97 == 0   ? " style='page-break-before:always'"
                                 : block % 31 == 0 ? " style='page-break-inside:avoid'"
                                                   : "";
        html += QStringLiteral("<div%1><p>Paragraph %2 with <b>bold</b>, <i>italic</i> and "
                               "<a href='#x%2'>a link</a> in it.</p>"
                               "<table><tr><td>a</td><td>b</td></tr></table>"
                               "<img width=20 height=10></div>")
                    .arg(QString::fromLatin1(breakStyle))
                    .arg(block);
        count += 10;
    }
    return html + QStringLiteral("</body></html>");
}

// Blocks of about ten elements each as a manual has them: a paragraph of
// several lines with inline markup, a list, a code listing, a table whose
// cells wrap, a definition list; now and then an avoided block.
QString generateTextDocument(int elements)
{
    static const QString words =
        QStringLiteral("the engine lays the document out as one column and cuts it into pages ");
    QString html = QStringLiteral("<html><body>");
    int count = 0;
    for (int block = 0; count < elements; ++block) {
        const QString text = words.repeated(2 + block % 5);
        switch (block % 5) {
        case 0:
            html += QStringLiteral("<p>%1<b>bold</b> %1<a href='#x%2'>a link</a> "
                                   "<code>code</code> %1</p>")
                        .arg(text)
                        .arg(block);
            count += 4;
            break;
        case 1:
            html +=
                QStringLiteral("<ul><li>%1</li><li>%1<i>item</i></li><li>%1</li></ul>").arg(text);
            count += 5;
            break;
        case 2:
            html += QStringLiteral("<pre>%1</pre>")
                        .arg(QStringLiteral("for (int i = 0; i < n; ++i)\n    step(i);\n")
                                 .repeated(6 + block % 7));
            count += 1;
            break;
        case 3:
            html += QStringLiteral("<table border=1><tr><td>%1</td><td>%2</td></tr>"
                                   "<tr><td>%2</td><td>%1</td></tr></table>")
                        .arg(text, words);
            count += 8;
            break;
        default:
            html +=
                QStringLiteral("<div%1><dl><dt>Term %2</dt><dd>%3</dd></dl><p>%3</p></div>")
                    .arg(QLatin1String(block % 31 == 4 ? " style='page-break-inside:avoid'" : ""))
                    .arg(block)
                    .arg(text);
            count += 5;
            break;
        }
    }
    return html + QStringLiteral("</body></html>");
}

// Runs of each phase; the fastest counts. Recording the elements is the
// difference of two such minima, so a busy machine shows in it first.
constexpr int kRuns = 5;

double milliseconds(QElapsedTimer &timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

// Lays `html` out on an A4 page at 100 percent and runs the pass without and
// with the line-aware step.
void measure(const char *name, const QString &html, int elements)
{
    QWebPage page;
    page.setPreferredContentsSize(QSize(773, 1043));
    page.setViewportSize(QSize(7730, 10430));
    page.mainFrame()->setZoomFactor(10.0);
    QEventLoop loop;
    QObject::connect(page.mainFrame(), &QWebFrame::loadFinished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    QElapsedTimer timer;
    timer.start();
    page.mainFrame()->setHtml(html);
    loop.exec();
    const QWebElement root = page.mainFrame()->documentElement();
    const int contentsHeight = page.mainFrame()->contentsSize().height();
    const double loadMs = milliseconds(timer);

    PointList breaks, avoided, points, images, tables;
    std::vector<Extent> avoidedBlocks;
    findCssPageBreaks(root, breaks, avoided, &avoidedBlocks);
    const double cssMs = milliseconds(timer);

    // The machine may be busy: each remaining phase is timed five times and
    // the fastest run counts, for both ways.
    double pointsMs = 1e9;
    double recordingMs = 1e9;
    DocumentTree tree;
    // The engine's scan also notes table rows and groups, and goes into
    // tables kept whole; its points feed the line-aware loop.
    TableScan tableScan;
    PointList enginePoints, engineImages, engineTables;
    for (int run = 0; run < kRuns; ++run) {
        PointList plainPoints, plainImages, plainTables;
        timer.restart();
        findPoints(root, {true, true}, plainPoints, plainImages, plainTables);
        pointsMs = std::min(pointsMs, milliseconds(timer));
        PointList treePoints, treeImages, treeTables;
        tree = DocumentTree();
        tableScan = TableScan();
        timer.restart();
        findPoints(root, {true, true, 10430}, treePoints, treeImages, treeTables, &tree,
                   &tableScan);
        recordingMs = std::min(recordingMs, milliseconds(timer));
        if (run == 0) {
            points = std::move(plainPoints);
            images = std::move(plainImages);
            tables = std::move(plainTables);
            enginePoints = std::move(treePoints);
            engineImages = std::move(treeImages);
            engineTables = std::move(treeTables);
        }
    }
    recordingMs = std::max(0.0, recordingMs - pointsMs);
    for (int point : breaks.values())
        points.addUnlessPresent(point);
    points.sort();
    images.sort();
    tables.sort();
    for (int point : breaks.values())
        enginePoints.addUnlessPresent(point);
    enginePoints.sort();
    engineImages.sort();
    engineTables.sort();

    std::vector<int> plain;
    double loopMs = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        timer.restart();
        plain =
            slicePages({points.values(), breaks, avoided, images, tables, 10430, contentsHeight});
        loopMs = std::min(loopMs, milliseconds(timer));
    }

    // The line-aware loop: page ends moved between lines (the elements at
    // each page end looked at afresh on every run, and how far their glyphs
    // reach across it), avoided blocks and table rows kept whole, room left
    // for repeated table rows.
    std::vector<int> boundaries;
    double lineLoopMs = 1e9;
    int asked = 0;
    int moved = 0;
    for (int run = 0; run < kRuns; ++run) {
        asked = moved = 0;
        std::unique_ptr<LineFinder> lines;
        SlicingInput input{enginePoints.values(), breaks, avoided,       engineImages,
                           engineTables,          10430,  contentsHeight};
        input.avoidedBlocks = avoidedBlocks;
        input.avoidedBlocks.insert(input.avoidedBlocks.end(), tableScan.wholeBlocks.begin(),
                                   tableScan.wholeBlocks.end());
        input.rowPoints = &tableScan.rowPoints;
        input.tableGroups = &tableScan.groups;
        input.placeCut = [&](int end, int lowest) {
            if (!lines)
                lines = std::make_unique<LineFinder>(page.mainFrame(), root, tree);
            const int cut = lines->cutAtOrAbove(end, lowest);
            lines->overhangAt(cut);
            ++asked;
            moved += cut != end;
            return cut;
        };
        timer.restart();
        boundaries = slicePages(input);
        lines.reset();
        lineLoopMs = std::min(lineLoopMs, milliseconds(timer));
    }
    const double passMs = cssMs + pointsMs + loopMs;
    const double stepMs = recordingMs + lineLoopMs - loopMs;

    std::printf("%s: elements %d, points %d, pages %zu (%zu without the line-aware step)\n", name,
                elements, points.size(), boundaries.size() - 1, plain.size() - 1);
    std::printf("load and layout   %9.1f ms\n", loadMs);
    std::printf("style scan        %9.1f ms\n", cssMs);
    std::printf("points scan       %9.1f ms\n", pointsMs);
    std::printf("slicing loop      %9.1f ms\n", loopMs);
    std::printf("slicing pass      %9.1f ms\n", passMs);
    std::printf("line-aware step   %9.1f ms (%+.1f %% of the pass: recording the elements "
                "%.1f ms, loop %.1f ms instead of %.1f; %d page ends placed, %d moved)\n",
                stepMs, 100.0 * stepMs / passMs, recordingMs, lineLoopMs, loopMs, asked, moved);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    quirex::platform::chooseHeadlessPlatformIfNoDisplay();
    QApplication app(argc, argv);
    const int elements = argc > 1 ? std::atoi(argv[1]) : 100000;
    measure("mixed blocks", generateDocument(elements), elements);
    measure("manual text", generateTextDocument(elements), elements);
    return 0;
}
