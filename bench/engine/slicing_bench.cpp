// Times the slicing pass (style scan, points scan, slicing loop) on a
// generated document of N elements (default 100,000). Prints one line per
// phase; cost must grow linearly with N.
#include "documentscan.h"
#include "headlessapplication.h"
#include "pageslicer.h"
#include "pointlist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

#include <cstdio>
#include <cstdlib>

using namespace quirex::engine;

namespace {

// Blocks of ten elements: a paragraph with inline children, a table row's
// worth of cells, an image, and now and then a forced break or an avoided
// block, so every kind of point appears.
QString generateDocument(int elements)
{
    QString html = QStringLiteral("<html><body>");
    int count = 0;
    for (int block = 0; count < elements; ++block) {
        const char *breakStyle = block % 97 == 0 ? " style='page-break-before:always'"
                               : block % 31 == 0 ? " style='page-break-inside:avoid'" : "";
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

double milliseconds(QElapsedTimer &timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    quirex::platform::chooseHeadlessPlatformIfNoDisplay();
    QApplication app(argc, argv);
    const int elements = argc > 1 ? std::atoi(argv[1]) : 100000;

    QWebPage page;
    page.setPreferredContentsSize(QSize(773, 1043));
    page.setViewportSize(QSize(7730, 10430));
    page.mainFrame()->setZoomFactor(10.0);
    QEventLoop loop;
    QObject::connect(page.mainFrame(), &QWebFrame::loadFinished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    QElapsedTimer timer;
    timer.start();
    page.mainFrame()->setHtml(generateDocument(elements));
    loop.exec();
    const QWebElement root = page.mainFrame()->documentElement();
    const int contentsHeight = page.mainFrame()->contentsSize().height();
    const double loadMs = milliseconds(timer);

    PointList breaks, avoided, points, images, tables;
    findCssPageBreaks(root, breaks, avoided);
    const double cssMs = milliseconds(timer);
    findPoints(root, {true, true}, points, images, tables);
    for (int point : breaks.values())
        points.addUnlessPresent(point);
    points.sort();
    images.sort();
    tables.sort();
    const double pointsMs = milliseconds(timer);
    const std::vector<int> boundaries = slicePages(
        {points.values(), breaks, avoided, images, tables, 10430, contentsHeight});
    const double loopMs = milliseconds(timer);

    std::printf("elements %d, points %d, pages %zu\n", elements, points.size(),
                boundaries.size() - 1);
    std::printf("load and layout   %9.1f ms\n", loadMs);
    std::printf("style scan        %9.1f ms\n", cssMs);
    std::printf("points scan       %9.1f ms\n", pointsMs);
    std::printf("slicing loop      %9.1f ms\n", loopMs);
    std::printf("slicing pass      %9.1f ms\n", cssMs + pointsMs + loopMs);
    return 0;
}
