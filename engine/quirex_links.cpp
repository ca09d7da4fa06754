// Link annotations of the engine object: every link of a printed page becomes
// a clickable area over its box, written into the finished PDF (an address, or
// a jump to a place printed into the same PDF).
#include "quirex.h"
#include "quirex_p.h"

#include "documentnavigation.h"
#include "enginetrace.h"
#include "pdfnavigation.h"

#include <QWebElement>
#include <QWebFrame>

#include <algorithm>

using namespace quirex::engine;

void QUIREXPrivate::collectLinks()
{
    using DocumentLink = Links::DocumentLink;
    links.m_links.clear();
    QWebFrame *frame = document.m_mainFrame;
    const QUrl documentUrl = frame->url();
    const QString ownAddress = documentAddress(documentUrl);
    for (const QWebElement &anchor : frame->documentElement().findAll(QStringLiteral("a"))) {
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
        links.m_links.push_back(std::move(link));
    }
    std::stable_sort(links.m_links.begin(), links.m_links.end(),
                     [](const DocumentLink &a, const DocumentLink &b) {
                         return a.geometry.top() < b.geometry.top();
                     });
    links.m_linksCollected = true;
}

QString QUIREXPrivate::linkBase() const
{
    if (!document.m_baseUrl.isEmpty())
        return document.m_baseUrl;
    // A string loaded without a base address has none of its own either.
    const QUrl own = document.m_mainFrame->baseUrl();
    if (own.isRelative() || own.scheme() == QLatin1String("about"))
        return {};
    return own.toString(QUrl::FullyEncoded);
}

double QUIREXPrivate::pointsPerDocumentPixel() const
{
    return 72.0 / (geometry.resolution() * document.m_documentScale);
}

void QUIREXPrivate::recordSliceOnPage(int from, int to, int shift)
{
    if (links.m_navigationDocument < 0)
        links.m_navigationDocument = links.m_navigation.addDocument(readDocumentNavigation(
            document.m_mainFrame->documentElement(), document.m_mainFrame->url()));
    const double scale = 72.0 / geometry.resolution();
    const QMargins &margins = geometry.margins();
    links.m_navigation.addPrintedSlice(
        links.m_navigationDocument, output.m_outputPage, from, to,
        QPointF(margins.left() * scale, margins.top() * scale + shift * pointsPerDocumentPixel()),
        pointsPerDocumentPixel());
}

void QUIREXPrivate::addNavigationToOutput()
{
    PdfNavigation navigation = links.m_navigation.navigation();
    const int depth = links.m_outlineDepth;
    navigation.outline.erase(std::remove_if(navigation.outline.begin(), navigation.outline.end(),
                                            [depth](const quirex::engine::PdfOutlineItem &item) {
                                                return item.level > depth;
                                            }),
                             navigation.outline.end());
    links.m_navigation.clear();
    links.m_navigationDocument = -1;
    // PostScript is made from the PDF by a program that drops both.
    if (output.m_temporaryOutput.isEmpty() || output.m_printingPostScript || navigation.isEmpty())
        return;
    QString error;
    if (!addNavigation(output.m_temporaryOutput, navigation, &error)) {
        QUIREX_TRACE() << "links and outline not added:" << error;
        m_writeLog(QStringLiteral("links and outline not added: ") + error);
    }
}

int QUIREXPrivate::m_DrawHyperlinksOnPage(bool PreserveHyperlinks, int from_pos, int to_pos,
                                          int shift)
{
    using DocumentLink = Links::DocumentLink;
    if (!PreserveHyperlinks)
        return 0;
    // The links and their places are read once per load, not once per page.
    if (!links.m_linksCollected)
        collectLinks();
    const double scale = pointsPerDocumentPixel();
    const QMargins &margins = geometry.margins();
    const double documentScale = document.m_documentScale;
    const QPointF origin(margins.left() * documentScale * scale,
                         (margins.top() * documentScale + shift) * scale);
    const QString base = linkBase();
    // A link belongs to the page whose slice holds its top edge; a link
    // starting exactly at the end of a slice belongs to the next page only.
    const auto first = std::lower_bound(
        links.m_links.begin(), links.m_links.end(), from_pos,
        [](const DocumentLink &link, int top) { return link.geometry.top() < top; });
    for (auto it = first; it != links.m_links.end() && it->geometry.top() < to_pos; ++it) {
        const QRect &box = it->geometry;
        const LinkAddress target{it->href, base, document.m_resolveRelativeHyperlinks};
        const QRectF onPage(origin.x() + box.left() * scale,
                            origin.y() + (box.top() - from_pos) * scale, box.width() * scale,
                            box.height() * scale);
        if (it->jumps)
            // The target stays the address when the place is not printed.
            links.m_navigation.addJump(links.m_navigationDocument, output.m_outputPage, onPage,
                                       it->jumpAddress, it->jumpFragment, target);
        else
            m_DrawRectHyperlink(onPage, target);
    }
    return 0;
}

void QUIREXPrivate::m_DrawRectHyperlink(const QRectF &box, const LinkAddress &link)
{
    // Written into the finished file over the link's own box, like the jumps:
    // an exact area, and far cheaper than the invisible anchor text the PDF
    // output would otherwise turn into a link (a font fitted to every link's
    // size, laid out and drawn).
    links.m_navigation.addUri(output.m_outputPage, box, link);
}

int QUIREX::outlineDepth() const
{
    return d->links.m_outlineDepth;
}

void QUIREX::setOutlineDepth(int levels)
{
    d->links.m_outlineDepth = std::clamp(levels, 0, 6);
}
