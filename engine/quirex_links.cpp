// Link annotations of the engine object: an invisible anchor over every link
// of a printed page, which the PDF output turns into a clickable area.
#include "quirex.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPrinter>
#include <QStaticText>
#include <QWebElement>
#include <QWebFrame>

#include <algorithm>
#include <cmath>

namespace {

const QString kUnresolvedHyperlink = QStringLiteral("Unresolved Hyperlink");
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
    for (const QWebElement &anchor : m_mainFrame->documentElement().findAll(QStringLiteral("a"))) {
        DocumentLink link;
        link.geometry = anchor.geometry();
        if (anchor.hasAttribute(QStringLiteral("href")))
            link.href = anchor.attribute(QStringLiteral("href"));
        m_links.push_back(std::move(link));
    }
    std::stable_sort(m_links.begin(), m_links.end(),
                     [](const DocumentLink &a, const DocumentLink &b) {
                         return a.geometry.top() < b.geometry.top();
                     });
    m_linksCollected = true;
}

int QUIREX::m_DrawHyperlinksOnPage(bool PreserveHyperlinks, int from_pos, int to_pos)
{
    if (!PreserveHyperlinks)
        return 0;
    // The links and their places are read once per load, not once per page.
    if (!m_linksCollected)
        collectLinks();
    const double ratio = static_cast<double>(kScreenDpi) / m_printer->resolution();
    // A link belongs to the page whose slice holds its top edge; a link
    // starting exactly at the end of a slice belongs to the next page only.
    const auto first = std::lower_bound(
        m_links.begin(), m_links.end(), from_pos,
        [](const DocumentLink &link, int top) { return link.geometry.top() < top; });
    for (auto it = first; it != m_links.end() && it->geometry.top() < to_pos; ++it) {
        const QRect &box = it->geometry;
        const int y = nearest((box.top() - from_pos) / 10.0);
        const QString raw = it->href.isNull() ? kUnresolvedHyperlink : it->href;
        const QString target = m_resolveRelativeHyperlinks
            ? QUrl(m_baseUrl).resolved(QUrl(raw)).toString()
            : raw;
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

    // The target is escaped, so a quote or markup in it cannot break out of
    // the anchor; the rich-text reader turns the entities back.
    QStaticText anchor(QStringLiteral("<a href= \"") + link.toHtmlEscaped()
                       + QStringLiteral("\" style=\"text-decoration: none;\">&nbsp;</a>"));
    anchor.setTextFormat(Qt::RichText);

    const int size = m_calcFontSize(font, h);
    const int points = static_cast<int>(std::floor(size * kPointSizeFactor));
    if (points > 0)
        font.setPointSize(points);
    const QFontMetricsF metrics(font, &screenDevice());
    const double space = metrics.horizontalAdvance(QLatin1Char(' '));
    const int stretch = space > 0 ? nearest(std::sqrt(std::max(0, w) / space) * 100) : 100;
    font.setStretch(std::clamp(stretch, 1, 4000));
    const double top = y1 - metrics.leading() - metrics.descent();

    m_painter.setFont(font);
    m_painter.drawStaticText(QPointF(x1, top), anchor);
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
