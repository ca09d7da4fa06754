// Document loading of the engine object: the three loads, the bounded wait,
// and the preparation of the loaded document for printing.
#include "quirex.h"

#include "documentnetworkaccess.h"
#include "domrewrite.h"
#include "enginetrace.h"

#include <QDir>
#include <QEventLoop>
#include <QGraphicsWebView>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Put in front of every HTML string: an image that never loads keeps the
// frame's load asynchronous, so its end reaches the wait like any other.
const QString kPlaceholder = QStringLiteral(
    "<html><body><img src='file:///justforexistence_justforit_assumesnomatch.bmp' width=0 "
    "height=0  border=0 hspace=0 vspace=0></body></hmtl>");

int nonNegative(int milliseconds)
{
    return std::max(0, milliseconds);
}

} // namespace

template<typename StartLoad>
void QUIREX::waitForLoad(StartLoad startLoad)
{
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(nonNegative(m_pageTimeoutMs));
    connect(m_mainFrame, SIGNAL(loadStarted()), &timer, SLOT(start()));
    connect(&timer, SIGNAL(timeout()), this, SLOT(m_OnPageTimeout()));
    connect(m_mainFrame, SIGNAL(loadFinished(bool)), &timer, SLOT(stop()));
    connect(&timer, SIGNAL(timeout()), &loop, SLOT(quit()));
    // Queued, because the web engine may finish a load inside the call that
    // starts it, before the loop runs; a direct quit would then be lost.
    connect(m_mainFrame, SIGNAL(loadFinished(bool)), &loop, SLOT(quit()), Qt::QueuedConnection);

    // A load that never reports its start is bounded too: the timer runs
    // from here, and the start of the load restarts it.
    timer.start();
    startLoad();
    loop.exec();
}

int QUIREX::m_OnPageTimeout()
{
    m_webView->stop();
    return 0;
}

void QUIREX::readUntrustedMode()
{
    const QByteArray value = qgetenv("QUIREX_UNTRUSTED");
    if (!value.isEmpty() && value != "0")
        m_untrusted = true;
    m_networkAccess->policy().setUntrusted(m_untrusted);
    if (m_untrusted) {
        QWebSettings *settings = m_webPage->settings();
        settings->setAttribute(QWebSettings::JavascriptEnabled, false);
        settings->setAttribute(QWebSettings::JavaEnabled, false);
        settings->setAttribute(QWebSettings::PluginsEnabled, false);
    }
}

void QUIREX::startDocument(const QUrl &documentUrl, const QUrl &entry)
{
    // Every document starts at the render scale.
    m_documentScale = m_renderScale;
    m_networkAccess->startDocument(quirex::engine::DocumentSource::fromUrl(documentUrl), entry);
}

void QUIREX::LoadHTMLString(const QString &sHTML)
{
    restoreLoadedBody();
    const QString html = kPlaceholder + sHTML;
    const QUrl baseUrl = m_resolveRelativeHyperlinks ? QUrl(m_baseUrl, QUrl::TolerantMode) : QUrl();
    startDocument(baseUrl, QUrl());
    setUpLayout();
    waitForLoad([&] { m_mainFrame->setHtml(html, baseUrl); });
    prepareLoadedDocument();
}

void QUIREX::LoadHTMLFile(const QString &sFileName)
{
    restoreLoadedBody();
    QWebSettings *settings = m_webView->settings();
    // Local documents never get universal access (see the constructor); what their scripts
    // and resources may reach is the network access's policy.
    settings->setAttribute(QWebSettings::JavascriptEnabled, !m_untrusted);
    settings->setAttribute(QWebSettings::OfflineWebApplicationCacheEnabled, true);
    settings->setAttribute(QWebSettings::TiledBackingStoreEnabled, true);
    settings->setAttribute(QWebSettings::LocalStorageEnabled, true);
    m_webPage->setLinkDelegationPolicy(QWebPage::DelegateAllLinks);

    // Either separator is accepted, as users of both conventions write them.
    QString path = sFileName;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QUIREX_TRACE() << "sFileName" << path;
    if (QDir::isRelativePath(path))
        path = QDir::current().absoluteFilePath(path);
    const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(path));

    startDocument(url, url);
    setUpLayout();
    waitForLoad([&] { m_mainFrame->setUrl(url); });
    m_ReplaceHtml(m_mainFrame->documentElement());
    m_ReplaceBigBlocks(m_mainFrame->documentElement());
    prepareLoadedDocument();
}

void QUIREX::m_ReplaceHtml(const QWebElement &parentElement)
{
    quirex::engine::replaceVideos(parentElement);
}

void QUIREX::m_ReplaceBigBlocks(const QWebElement &parentElement)
{
    quirex::engine::insertParagraphMarkers(parentElement);
}

void QUIREX::LoadURL(const QString &sURL)
{
    restoreLoadedBody();
    const QUrl url(sURL, QUrl::TolerantMode);
    startDocument(url, url);
    setUpLayout();
    waitForLoad([&] { m_webView->load(url); });
    prepareLoadedDocument();
}

void QUIREX::RunJavaScript(const QString &script)
{
    restoreLoadedBody();
    m_mainFrame->evaluateJavaScript(script);
    prepareLoadedDocument();
}

void QUIREX::Timer(int time_interval)
{
    // The document's own scripts may run while the loop turns.
    restoreLoadedBody();
    QEventLoop loop;
    QTimer timer;
    const long long milliseconds = static_cast<long long>(time_interval) * 1000;
    timer.setInterval(static_cast<int>(std::clamp<long long>(milliseconds, 0, INT_MAX)));
    connect(&timer, SIGNAL(timeout()), &loop, SLOT(quit()));
    timer.start();
    loop.exec();
}

void QUIREX::setViewportSize(const QSize &size)
{
    if (m_webPage->viewportSize() != size)
        m_webPage->setViewportSize(size);
}

void QUIREX::setUpLayout()
{
    m_mainFrame->setZoomFactor(documentZoom());
    QUIREX_TRACE() << "m_ContentZoomFactor: " << m_zoomFactor << "document scale"
                   << m_documentScale;
    m_mainFrame->setScrollBarPolicy(Qt::Horizontal, Qt::ScrollBarAlwaysOff);
    m_mainFrame->setScrollBarPolicy(Qt::Vertical, Qt::ScrollBarAlwaysOff);

    // The document is laid out one CSS pixel per device pixel at 100 percent
    // across the printable width, in both modes, so the content-sized page
    // of one-page mode does not depend on the size of a window never shown,
    // nor on the paper an earlier document of one-page mode was sized to.
    quirex::engine::PageGeometry layout = m_geometry;
    if (layout.paperKind() == quirex::engine::PageGeometry::PaperKind::Pixels)
        layout.setNamedPaper(m_paperSizeCode);
    const QRect printable = layout.printableRect();
    const int width = printable.width();
    const int height = printable.height();
    // In one-page mode the layout is one pixel high, so the contents, and
    // the page, are as high as the document rather than at least a page.
    const int layoutHeight =
        m_slicingMode ? static_cast<int>(std::floor(m_renderScale * height / m_zoomFactor)) : 1;
    m_webPage->setPreferredContentsSize(
        QSize(static_cast<int>(std::floor(m_renderScale * width / m_zoomFactor)), layoutHeight));
    // In one-page mode a viewport no taller than a line, so a short
    // document is not stretched to the height of a page.
    setViewportSize(
        QSize(static_cast<int>(std::floor(width * m_documentScale)),
              m_slicingMode ? static_cast<int>(std::floor(height * m_documentScale)) : 1));
    m_graphicsWebView->setResizesToContents(false);
}

double QUIREX::documentZoom() const
{
    return m_zoomFactor * m_documentScale / m_renderScale;
}

void QUIREX::fitDocumentScale()
{
    // 2^25 - 1: the web engine keeps layout positions in 1/64 of a pixel in
    // a 32-bit integer. A document reaching it has lost what lies below.
    constexpr int kLayoutLimit = 33554431;
    constexpr double kLowerScales[] = {5, 2, 1};
    const auto fits = [this] {
        // Reading an element's box brings the layout up to date first.
        m_mainFrame->documentElement().geometry();
        return m_mainFrame->contentsSize().height() < kLayoutLimit;
    };
    for (const double scale : kLowerScales) {
        if (fits())
            return;
        if (scale < m_documentScale) {
            m_documentScale = scale;
            setUpLayout();
        }
    }
    if (!fits())
        m_writeLog(QStringLiteral("The document is too long to print whole; its end is lost."));
}

void QUIREX::prepareLoadedDocument()
{
    // Slicing, links and outline read the document as it was loaded.
    restoreLoadedBody();
    // Unchanged since the load began, unless a script or the caller changed
    // the document or the settings: then it is laid out again here.
    setUpLayout();
    fitDocumentScale();
    if (m_slicingMode) {
        if (m_geometry.paperKind() != quirex::engine::PageGeometry::PaperKind::Custom)
            m_geometry.setNamedPaper(m_paperSizeCode);
        applyGeometryToPrinter();
    } else {
        const QSize contents = m_mainFrame->contentsSize();
        if (m_geometry.paperKind() != quirex::engine::PageGeometry::PaperKind::Custom)
            m_geometry.setPaperPixels(paperForContents(contents));
        applyGeometryToPrinter();
        setViewportSize(contents);
    }
    m_contentsSize = m_mainFrame->contentsSize();
    m_linksCollected = false;
    m_navigationDocument = -1;
    m_links.clear();
    m_SliceOnPages();
}
