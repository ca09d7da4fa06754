// Link annotations of the engine object: every link of a printed page becomes
// a clickable area over its box, written into the finished PDF (an address, or
// a jump to a place printed into the same PDF).
#include "quirex.h"

#include "documentnavigation.h"
#include "enginetrace.h"
#include "pdfnavigation.h"

#include <QWebElement>
#include <QWebFrame>

#include <algorithm>

using namespace quirex::engine;

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
            // Links into the document itself share one string.
            link.jumpAddress = address == ownAddress ? ownAddress : address;
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
    return 72.0 / (m_geometry.resolution() * m_documentScale);
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
    const double scale = pointsPerDocumentPixel();
    const QMargins &margins = m_geometry.margins();
    const QPointF origin(margins.left() * m_documentScale * scale,
                         margins.top() * m_documentScale * scale);
    // A link belongs to the page whose slice holds its top edge; a link
    // starting exactly at the end of a slice belongs to the next page only.
    const auto first = std::lower_bound(
        m_links.begin(), m_links.end(), from_pos,
        [](const DocumentLink &link, int top) { return link.geometry.top() < top; });
    for (auto it = first; it != m_links.end() && it->geometry.top() < to_pos; ++it) {
        const QRect &box = it->geometry;
        const LinkAddress target{it->href, m_baseUrl, m_resolveRelativeHyperlinks};
        const QRectF onPage(origin.x() + box.left() * scale,
                            origin.y() + (box.top() - from_pos) * scale, box.width() * scale,
                            box.height() * scale);
        if (it->jumps)
            // The target stays the address when the place is not printed.
            m_navigation.addJump(m_navigationDocument, m_outputPage, onPage, it->jumpAddress,
                                 it->jumpFragment, target);
        else
            m_DrawRectHyperlink(onPage, target);
    }
    return 0;
}

void QUIREX::m_DrawRectHyperlink(const QRectF &box, const LinkAddress &link)
{
    // Written into the finished file over the link's own box, like the jumps:
    // an exact area, and far cheaper than the invisible anchor text the PDF
    // output would otherwise turn into a link (a font fitted to every link's
    // size, laid out and drawn).
    m_navigation.addUri(m_outputPage, box, link);
}
