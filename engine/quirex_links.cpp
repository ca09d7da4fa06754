// Link annotations of the engine object: an invisible anchor over every link
// of a printed page, which the PDF output turns into a clickable area.
#include "quirex.h"

#include "documentnavigation.h"
#include "enginetrace.h"
#include "pdfnavigation.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPrinter>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QWebElement>
#include <QWebFrame>

#include <algorithm>
#include <cmath>

using namespace quirex::engine;

namespace {

constexpr double kPointSizeFactor = 1.6;
constexpr int kLargestPointSize = 699;
// Link anchors are measured against a screen of this resolution, whatever
// the machine's, so output does not depend on the display.
constexpr int kScreenDpi = 96;

int nearest(double value)
{
    return static_cast<int>(std::floor(value + 0.5));
}

// A paint device whose metrics are those of a 96-dpi screen.
const QPaintDevice &screenDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = static_cast<int>(std::lround(kScreenDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

} // namespace

void QUIREX::collectLinks()
{
    m_links.clear();
    const QUrl documentUrl = m_mainFrame->url();
    const QString ownAddress = documentAddress(documentUrl);
    for (const QWebElement &anchor : m_mainFrame->documentElement().findAll(QStringLiteral("a"))) {
        // An anchor without an address is a jump target, not a link.
        if (!anchor.hasAttribute(QStringLiteral("href")))
            continue;
        DocumentLink link;
        link.geometry = anchor.geometry();
        link.href = anchor.attribute(QStringLiteral("href"));
        // A place in this document, or in a local file that may also be
        // printed into this PDF, becomes a jump once the pages are known.
        const QUrl resolved = documentUrl.resolved(QUrl(link.href));
        const QString address = documentAddress(resolved);
        if (address == ownAddress || resolved.isLocalFile()) {
            link.jumps = true;
            link.jumpAddress = address;
            link.jumpFragment = resolved.fragment(QUrl::FullyDecoded);
        }
        m_links.push_back(std::move(link));
    }
    std::stable_sort(m_links.begin(), m_links.end(),
                     [](const DocumentLink &a, const DocumentLink &b) {
                         return a.geometry.top() < b.geometry.top();
                     });
    m_linksCollected = true;
}

double QUIREX::pointsPerDocumentPixel() const
{
    return 72.0 / (m_geometry.resolution() * m_renderScale);
}

void QUIREX::recordSliceOnPage(int from, int to)
{
    if (m_navigationDocument < 0)
        m_navigationDocument = m_navigation.addDocument(
            readDocumentNavigation(m_mainFrame->documentElement(), m_mainFrame->url()));
    const double scale = 72.0 / m_geometry.resolution();
    const QMargins &margins = m_geometry.margins();
    m_navigation.addPrintedSlice(m_navigationDocument, m_outputPage, from, to,
                                 QPointF(margins.left() * scale, margins.top() * scale),
                                 pointsPerDocumentPixel());
}

void QUIREX::addNavigationToOutput()
{
    const PdfNavigation navigation = m_navigation.navigation();
    m_navigation.clear();
    m_navigationDocument = -1;
    // PostScript is made from the PDF by a program that drops both.
    if (m_temporaryOutput.isEmpty() || m_printingPostScript || navigation.isEmpty())
        return;
    QString error;
    if (!addNavigation(m_temporaryOutput, navigation, &error)) {
        QUIREX_TRACE() << "links and outline not added:" << error;
        m_writeLog(QStringLiteral("links and outline not added: ") + error);
    }
}

int QUIREX::m_DrawHyperlinksOnPage(bool PreserveHyperlinks, int from_pos, int to_pos)
{
    if (!PreserveHyperlinks)
        return 0;
    // The links and their places are read once per load, not once per page.
    if (!m_linksCollected)
        collectLinks();
    const double ratio = static_cast<double>(kScreenDpi) / m_printer->resolution();
    const double scale = pointsPerDocumentPixel();
    const QMargins &margins = m_geometry.margins();
    const QPointF origin(margins.left() * m_renderScale * scale,
                         margins.top() * m_renderScale * scale);
    // A link belongs to the page whose slice holds its top edge; a link
    // starting exactly at the end of a slice belongs to the next page only.
    const auto first = std::lower_bound(
        m_links.begin(), m_links.end(), from_pos,
        [](const DocumentLink &link, int top) { return link.geometry.top() < top; });
    for (auto it = first; it != m_links.end() && it->geometry.top() < to_pos; ++it) {
        const QRect &box = it->geometry;
        const QString target = m_resolveRelativeHyperlinks
            ? QUrl(m_baseUrl).resolved(QUrl(it->href)).toString()
            : it->href;
        if (it->jumps) {
            // Written into the finished file over the link's own box; the
            // target stays the address when the place is not printed.
            const QRectF onPage(origin.x() + box.left() * scale,
                                origin.y() + (box.top() - from_pos) * scale,
                                box.width() * scale, box.height() * scale);
            m_navigation.addJump(m_navigationDocument, m_outputPage, onPage, it->jumpAddress,
                                 it->jumpFragment, target);
            continue;
        }
        const int y = nearest((box.top() - from_pos) / 10.0);
        m_DrawRectHyperlink(nearest(box.left() / 10.0), y, nearest(box.width() * ratio / 10.0),
                            nearest(box.height() * ratio / 10.0), target);
    }
    return 0;
}

void QUIREX::m_DrawRectHyperlink(int x1, int y1, int w, int h, const QString &link)
{
    const QFont saved = m_painter.font();
    QFont font(QStringLiteral("Arial"), 1, 50, false);
    m_painter.setFont(font);

    const int size = m_calcFontSize(font, h);
    const int points = static_cast<int>(std::floor(size * kPointSizeFactor));
    if (points > 0)
        font.setPointSize(points);
    const QFontMetricsF metrics(font, &screenDevice());
    const double space = metrics.horizontalAdvance(QLatin1Char(' '));
    const int stretch = space > 0 ? nearest(std::sqrt(std::max(0, w) / space) * 100) : 100;
    font.setStretch(std::clamp(stretch, 1, 4000));
    const double top = y1 - metrics.leading() - metrics.descent();

    // One non-breaking space carrying the link: the PDF output turns an
    // anchor's text into a link area. Laid out directly rather than as rich
    // text, which would parse markup for every link; the target needs no
    // escaping either.
    QTextCharFormat anchor;
    anchor.setAnchor(true);
    anchor.setAnchorHref(link);
    anchor.setFontUnderline(false);
    QTextLayout layout(QString(QChar::Nbsp), font, &screenDevice());
    layout.setFormats({QTextLayout::FormatRange{0, 1, anchor}});
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    layout.draw(&m_painter, QPointF(x1, top));
    m_painter.setFont(saved);
}

int QUIREX::m_calcFontSize(QFont aFont, int h)
{
    // The answer depends only on h: remember it, since a document has many
    // links of few different heights.
    const auto known = m_fittedFontSizes.find(h);
    if (known != m_fittedFontSizes.end())
        return known->second;
    int result = h;
    for (int n = 1; n <= kLargestPointSize; ++n) {
        aFont.setPointSize(n);
        if (QFontMetrics(aFont, &screenDevice()).height() > h) {
            result = n - 1;
            break;
        }
    }
    m_fittedFontSizes.emplace(h, result);
    return result;
}
