// The engine lays documents out at ten device pixels per CSS pixel. What it
// prints must look like what the web engine itself shows at 100 %: each page
// of a small set is rendered both ways at 96 dpi and compared region by
// region by the share of ink, which tells a glyph or control drawn at the
// wrong scale from the small differences of antialiasing.
#include "fontsubstitution.h"
#include "quirex.h"
#include "testenvironment.h"
#include "webtestutil.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{

// A4 at 96 dpi, no margins: the printable area is the whole paper.
const QSize kPage(794, 1123);
constexpr int kCell = 32;

QImage webEngineImage(const QString &html)
{
    QWebPage page;
    // The web engine's own drawing of controls, with the engine's fonts.
    page.settings()->setUserStyleSheetUrl(quirex::engine::fontSubstitutionStyleSheetUrl());
    page.mainFrame()->setScrollBarPolicy(Qt::Horizontal, Qt::ScrollBarAlwaysOff);
    page.mainFrame()->setScrollBarPolicy(Qt::Vertical, Qt::ScrollBarAlwaysOff);
    page.setViewportSize(kPage);
    if (!quirex::test::loadHtml(page, html))
        return {};
    QImage image(kPage, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.mainFrame()->render(&painter, QWebFrame::ContentsLayer);
    painter.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QImage engineImage(QUIREX &engine, const QString &html, const QString &name)
{
    const QString folder = quirex::test::scratchFolder();
    const QString pdf = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
    engine.setOutputFileName(pdf);
    engine.BeginDoc();
    // From a file: a string would get the engine's placeholder in front.
    engine.LoadHTMLFile(quirex::test::writeFile(name + QStringLiteral(".html"), html.toUtf8()));
    engine.ConvertPage(1);
    engine.EndDoc();
    const QString prefix = folder + QLatin1Char('/') + name;
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-gray"),
                    QStringLiteral("-singlefile"), pdf, prefix});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// The share of ink (0 white, 1 black) in the cell at (x, y).
double ink(const QImage &image, int x, int y)
{
    const int right = std::min(image.width(), x + kCell);
    const int bottom = std::min(image.height(), y + kCell);
    double sum = 0;
    for (int row = y; row < bottom; ++row) {
        const uchar *line = image.constScanLine(row);
        for (int column = x; column < right; ++column)
            sum += 255 - line[column];
    }
    return sum / (255.0 * (right - x) * (bottom - y));
}

// The cells whose ink differs by more than antialiasing and hinting do.
QStringList differingCells(const QImage &expected, const QImage &actual)
{
    QStringList cells;
    const int width = std::min(expected.width(), actual.width());
    const int height = std::min(expected.height(), actual.height());
    for (int y = 0; y < height; y += kCell) {
        for (int x = 0; x < width; x += kCell) {
            const double a = ink(expected, x, y);
            const double b = ink(actual, x, y);
            if (std::abs(a - b) > 0.03 + 0.35 * std::max(a, b))
                cells << QStringLiteral("(%1,%2): %3 vs %4")
                             .arg(x)
                             .arg(y)
                             .arg(a, 0, 'f', 3)
                             .arg(b, 0, 'f', 3);
        }
    }
    return cells;
}

struct SamplePage {
    const char *name;
    const char *html;
};

const SamplePage kPages[] = {
    {"text", "<h1>Heading one</h1><p style='font-size:14px'>A paragraph of ordinary text that "
             "wraps over more than one line of the page, in the standard font of the web "
             "engine, with <b>bold</b>, <i>italic</i> and <code>code</code> in it.</p>"
             "<table border=1 cellpadding=4><tr><th>Key</th><th>Value</th></tr>"
             "<tr><td>alpha</td><td>1</td></tr></table>"},
    {"svg", "<p style='font-size:16px'>Before the diagram</p>"
            "<svg width='400' height='120'><rect x='5' y='5' width='180' height='50' "
            "fill='none' stroke='black' stroke-width='2'/><text x='15' y='38'>select-stmt</text>"
            "<text x='210' y='38' font-size='22'>literal</text>"
            "<circle cx='300' cy='90' r='20' fill='#444'/></svg>"},
    {"controls", "<p><input type=checkbox checked> checked <input type=checkbox> unchecked "
                 "<input type=radio checked> on <input type=radio> off</p>"
                 "<p><input type=checkbox checked><input type=checkbox checked>"
                 "<input type=checkbox checked><input type=checkbox checked></p>"
                 "<p><input type=text value='typed text'> <button>Press</button> "
                 "<select><option>First choice</option></select></p>"},
};

} // namespace

TEST(ScaleDifferential, PrintedPagesLookAsTheWebEngineShowsThem)
{
    QUIREX engine; // sets up the fonts the web engine renders with
    engine.setMarginLeft(0);
    engine.setMarginRight(0);
    engine.setMarginTop(0);
    engine.setMarginBottom(0);
    for (const SamplePage &page : kPages) {
        const QString html = QString::fromLatin1(page.html);
        const QImage expected = webEngineImage(html);
        const QImage actual = engineImage(engine, html, QString::fromLatin1(page.name));
        ASSERT_FALSE(expected.isNull()) << page.name;
        ASSERT_FALSE(actual.isNull()) << page.name << ": no image of the PDF page";
        EXPECT_EQ(actual.size(), kPage) << page.name;
        if (qEnvironmentVariableIsSet("QUIREX_DIFFERENTIAL_IMAGES")) {
            const QString prefix = qEnvironmentVariable("QUIREX_DIFFERENTIAL_IMAGES") + page.name;
            expected.save(prefix + QStringLiteral("-web.png"));
            actual.save(prefix + QStringLiteral("-pdf.png"));
        }
        EXPECT_EQ(differingCells(expected, actual).join(QLatin1Char('\n')).toStdString(), "")
            << page.name;
    }
}
