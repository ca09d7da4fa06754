// Document loading of the engine object: the three loads, the bounded wait,
// the layout of the loaded document and its preparation for printing.
#include "quirex.h"
#include "quirex_p.h"

#include "bodygrouping.h"
#include "documentnetworkaccess.h"
#include "domrewrite.h"
#include "enginetrace.h"
#include "localfile.h"
#include "markupdepth.h"
#include "printadjustment.h"
#include "printmedia.h"
#include "scriptwork.h"
#include "stallwatch.h"
#include "utf8detection.h"
#include "webpage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsWebView>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

#include <algorithm>
#include <climits>
#include <cmath>

using quirex::engine::PageGeometry;

namespace
{

// Put in front of every HTML string: an image that never loads keeps the
// frame's load asynchronous, so its end reaches the wait like any other.
const QString kPlaceholder = QStringLiteral(
    "<html><body><img src='file:///justforexistence_justforit_assumesnomatch.bmp' width=0 "
    "height=0  border=0 hspace=0 vspace=0></body></hmtl>");

int nonNegative(int milliseconds)
{
    return std::max(0, milliseconds);
}

// A local file without a declared character set falls back to the default
// text encoding; one whose bytes are UTF-8 beyond ASCII is read as UTF-8
// whatever that default is. A character set the file or its server declares
// still wins. The page's own setting is used, so the default the caller set
// (a global one) stays as it is for every other document.
// How deep the markup of the local file at `path` nests (markupdepth.h); 0 when it is no
// regular file or cannot be read, or is plain text.
int fileMarkupDepth(const QString &path)
{
    const quirex::engine::LocalFile local = quirex::engine::LocalFile::resolve(path);
    if (!local.isRegular() ||
        QFileInfo(local.path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        return 0;
    QFile file(local.path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 size = file.size();
    if (const uchar *data = size > 0 ? file.map(0, size) : nullptr)
        return quirex::engine::markupNestingDepth(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size)));
    return quirex::engine::markupNestingDepth(file.readAll());
}

void chooseFallbackEncoding(QWebPage *page, const QUrl &url)
{
    bool utf8 = false;
    if (url.isLocalFile()) {
        QFile file(url.toLocalFile());
        utf8 = file.open(QIODevice::ReadOnly) && quirex::engine::isNonAsciiUtf8(file);
    }
    page->settings()->setDefaultTextEncoding(utf8 ? QStringLiteral("UTF-8") : QString());
}

// How far short of the script limit a stall of the page still counts as one that may have
// been a script the web engine stopped: the limit is processor time, the stall is measured
// on the clock.
constexpr qint64 kStallTolerance = 250;
// How long past PageTimeout the layout of a loaded document may end before the load is
// given up rather than printed.
constexpr qint64 kLayoutOverrunMs = 5000;
// How often a document's scripts are asked whether they have work left, after its load.
constexpr int kScriptWorkPollMs = 10;

} // namespace

namespace
{

// Redirects followed before a load counts as one that never ends.
constexpr int kMostRedirects = 20;

// Follows the network replies of one document's own address through its
// redirects and keeps the first reason that makes its load a failure.
class DocumentReplyWatch
{
public:
    DocumentReplyWatch(QWebFrame *frame, const QUrl &url)
        : m_frame(frame)
        , m_url(url)
    {
    }
    void finished(QNetworkReply *reply)
    {
        if (m_url.isEmpty() || !m_failure.isEmpty() ||
            reply->request().originatingObject() != m_frame || reply->url() != m_url)
            return;
        const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError && status < 400) {
            m_failure = QStringLiteral("%1: %2").arg(m_url.toString(), reply->errorString());
        } else if (status >= 400) {
            m_failure =
                QStringLiteral("%1: HTTP status %2 %3")
                    .arg(m_url.toString())
                    .arg(status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        } else if (target.isValid()) {
            if (++m_redirects > kMostRedirects)
                m_failure = QStringLiteral("%1: more than %2 redirects")
                                .arg(m_url.toString())
                                .arg(kMostRedirects);
            m_url = m_url.resolved(target);
        }
    }
    QString failure() const { return m_failure; }

private:
    QWebFrame *m_frame;
    QUrl m_url;
    int m_redirects = 0;
    QString m_failure;
};

} // namespace

template <typename StartLoad>
void QUIREXPrivate::waitForLoad(StartLoad startLoad, const QUrl &documentUrl)
{
    QWebFrame *frame = document.m_mainFrame;
    QEventLoop loop;
    QTimer timer;
    // Why the load failed, the first reason found.
    DocumentReplyWatch replies(frame, documentUrl);
    bool timedOut = false;
    bool finished = false;
    bool loaded = false;
    QObject::connect(&timer, &QTimer::timeout, q, [&] { timedOut = !finished; });
    // These refer to this call's locals, so they end with it.
    const QMetaObject::Connection onFinished =
        QObject::connect(frame, &QWebFrame::loadFinished, q, [&](bool ok) {
            finished = true;
            loaded = ok;
        });
    const QMetaObject::Connection onReply = QObject::connect(
        document.m_webPage->networkAccessManager(), &QNetworkAccessManager::finished, q,
        [&](QNetworkReply *reply) { replies.finished(reply); });
    const int timeout = nonNegative(document.m_pageTimeoutMs);
    timer.setInterval(timeout);
    QElapsedTimer sinceTimerStart;
    QObject::connect(frame, SIGNAL(loadStarted()), &timer, SLOT(start()));
    QObject::connect(frame, &QWebFrame::loadStarted, &timer, [&] { sinceTimerStart.restart(); });
    QObject::connect(&timer, &QTimer::timeout, q, [this] { m_OnPageTimeout(); });
    QObject::connect(frame, SIGNAL(loadFinished(bool)), &timer, SLOT(stop()));
    QObject::connect(&timer, SIGNAL(timeout()), &loop, SLOT(quit()));
    // Queued, because the web engine may finish a load inside the call that
    // starts it, before the loop runs; a direct quit would then be lost.
    QObject::connect(frame, SIGNAL(loadFinished(bool)), &loop, SLOT(quit()), Qt::QueuedConnection);

    // A load that never reports its start is bounded too: the timer runs
    // from here, and the start of the load restarts it.
    quirex::engine::StallWatch stalls;
    stalls.start();
    timer.start();
    sinceTimerStart.start();
    {
        const quirex::engine::HangGuard::Watch watch = watchDocument();
        startLoad();
        loop.exec();
    }
    QObject::disconnect(onFinished);
    QObject::disconnect(onReply);
    if (timedOut)
        m_lastFailure = QStringLiteral("the document did not load within PageTimeout (%1 ms)")
                            .arg(document.m_pageTimeoutMs);
    else if (!replies.failure().isEmpty())
        m_lastFailure = replies.failure();
    else if (!loaded)
        m_lastFailure = documentUrl.isEmpty()
                            ? QStringLiteral("the document could not be loaded")
                            : QStringLiteral("%1 could not be loaded").arg(documentUrl.toString());
    else
        m_lastFailure.clear();
    if (!m_lastFailure.isEmpty())
        m_writeLog(QStringLiteral("load failed: ") + m_lastFailure);

    // Timers, the time-out's among them, wait while a script runs or the page is laid out.
    // The web engine stops a script at its limit; when such a stretch kept the time-out from
    // ending the load in time, the document is not the one to print.
    const qint64 stall = stalls.longestStallMs();
    const qint64 limit = quirex::engine::scriptRunLimitMs;
    if (stall < limit - kStallTolerance)
        return;
    const QString what = QStringLiteral("the page did not answer for %1 ms at a stretch (a script "
                                        "running longer than %2 ms is stopped)")
                             .arg(stall)
                             .arg(limit);
    if (sinceTimerStart.elapsed() >= timeout) {
        failLoad(what + QStringLiteral(", past the page time-out of %1 ms").arg(timeout));
    } else {
        m_writeLog(what);
        QUIREX_TRACE() << what;
    }
}

quirex::engine::HangGuard::Watch QUIREXPrivate::watchDocument()
{
    quirex::engine::HangGuard::Cleanup cleanup;
    cleanup.logDescriptor = logging.m_logFile.isOpen() ? logging.m_logFile.handle() : -1;
    cleanup.temporaryOutput = output.m_temporaryOutput;
    return quirex::engine::HangGuard::Watch(
        *document.m_hangGuard, nonNegative(document.m_pageTimeoutMs) + kHangGraceMs, cleanup);
}

void QUIREXPrivate::beginLoad()
{
    document.m_loadClock.start();
    document.m_loadFailed = false;
}

bool QUIREXPrivate::refuseDeepMarkup(int depth)
{
    if (depth <= quirex::engine::kMostMarkupDepth)
        return false;
    m_lastFailure.clear();
    failLoad(QStringLiteral("the markup nests elements %1 levels deep, more than the %2 a "
                            "document may nest")
                 .arg(depth)
                 .arg(quirex::engine::kMostMarkupDepth));
    return true;
}

void QUIREXPrivate::failLoad(const QString &reason)
{
    const QString line = QStringLiteral("load failed: ") + reason;
    m_writeLog(line);
    QUIREX_TRACE() << line;
    document.m_loadFailed = true;
    // The caller reads the first reason; EndDoc reports it for the output it
    // does not put in place.
    if (m_lastFailure.isEmpty())
        m_lastFailure = reason;
    output.m_outputFailure = QStringLiteral("the document was not printed: ") + reason;
    document.m_webView->stop();
    document.m_mainFrame->setHtml(QString(), QUrl());
    discardTemporaryOutput();
}

int QUIREXPrivate::m_OnPageTimeout()
{
    document.m_webView->stop();
    return 0;
}

void QUIREXPrivate::readUntrustedMode()
{
    const QByteArray value = qgetenv("QUIREX_UNTRUSTED");
    if (!value.isEmpty() && value != "0")
        document.m_untrusted = true;
    document.m_networkAccess->policy().setUntrusted(document.m_untrusted);
    if (document.m_untrusted) {
        QWebSettings *settings = document.m_webPage->settings();
        settings->setAttribute(QWebSettings::JavascriptEnabled, false);
        settings->setAttribute(QWebSettings::JavaEnabled, false);
        settings->setAttribute(QWebSettings::PluginsEnabled, false);
    }
}

void QUIREXPrivate::startDocument(const QUrl &documentUrl, const QUrl &entry)
{
    // Every document starts at the render scale and the caller's zoom.
    document.m_documentScale = m_renderScale;
    document.m_fitScale = 1.0;
    document.m_networkAccess->setPrintMedia(!document.m_screenMedia);
    document.m_networkAccess->startDocument(quirex::engine::DocumentSource::fromUrl(documentUrl),
                                            entry);
}

void QUIREX::LoadHTMLString(const QString &sHTML)
{
    d->restoreLoadedBody();
    const QString html = kPlaceholder + sHTML;
    const QUrl baseUrl = d->document.m_resolveRelativeHyperlinks
                             ? QUrl(d->document.m_baseUrl, QUrl::TolerantMode)
                             : QUrl();
    d->beginLoad();
    d->startDocument(baseUrl, QUrl());
    chooseFallbackEncoding(d->document.m_webPage, QUrl());
    d->setUpLayout();
    if (!d->refuseDeepMarkup(quirex::engine::markupNestingDepth(sHTML.toUtf8())))
        d->waitForLoad([&] { d->document.m_mainFrame->setHtml(html, baseUrl); });
    d->prepareLoadedDocument();
}

void QUIREX::LoadHTMLFile(const QString &sFileName)
{
    d->restoreLoadedBody();
    QWebSettings *settings = d->document.m_webView->settings();
    // Local documents never get universal access (see the constructor); what their scripts
    // and resources may reach is the network access's policy.
    settings->setAttribute(QWebSettings::JavascriptEnabled,
                           !d->document.m_untrusted && d->document.m_javaScriptEnabled);
    settings->setAttribute(QWebSettings::OfflineWebApplicationCacheEnabled, true);
    settings->setAttribute(QWebSettings::TiledBackingStoreEnabled, true);
    settings->setAttribute(QWebSettings::LocalStorageEnabled, true);
    d->document.m_webPage->setLinkDelegationPolicy(QWebPage::DelegateAllLinks);

    // Either separator is accepted, as users of both conventions write them.
    QString path = sFileName;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QUIREX_TRACE() << "sFileName" << path;
    if (QDir::isRelativePath(path))
        path = QDir::current().absoluteFilePath(path);
    const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(path));

    d->beginLoad();
    d->startDocument(url, url);
    chooseFallbackEncoding(d->document.m_webPage, url);
    d->setUpLayout();
    if (!d->refuseDeepMarkup(fileMarkupDepth(url.toLocalFile())))
        d->waitForLoad([&] { d->document.m_mainFrame->setUrl(url); }, url);
    d->m_ReplaceHtml(d->document.m_mainFrame->documentElement());
    d->m_ReplaceBigBlocks(d->document.m_mainFrame->documentElement());
    d->prepareLoadedDocument();
}

void QUIREXPrivate::m_ReplaceHtml(const QWebElement &parentElement)
{
    quirex::engine::replaceVideos(parentElement);
}

void QUIREXPrivate::m_ReplaceBigBlocks(const QWebElement &parentElement)
{
    quirex::engine::insertParagraphMarkers(parentElement);
}

void QUIREX::LoadURL(const QString &sURL)
{
    d->restoreLoadedBody();
    const QUrl url(sURL, QUrl::TolerantMode);
    d->beginLoad();
    d->startDocument(url, url);
    chooseFallbackEncoding(d->document.m_webPage, url);
    d->setUpLayout();
    d->waitForLoad([&] { d->document.m_webView->load(url); }, url);
    d->prepareLoadedDocument();
}

void QUIREX::SetMediaType(const QString &sMediaType)
{
    const QString type = sMediaType.trimmed().toLower();
    if (type == QLatin1String("screen") || type == QLatin1String("print")) {
        const bool screen = type == QLatin1String("screen");
        // Style sheets kept from earlier loads were styled for the other type.
        if (screen != d->document.m_screenMedia)
            QWebSettings::clearMemoryCaches();
        d->document.m_screenMedia = screen;
        return;
    }
    d->m_writeLog(QStringLiteral("SetMediaType: unknown media type \"%1\"; kept %2")
                      .arg(sMediaType, d->document.m_screenMedia ? QStringLiteral("screen")
                                                                 : QStringLiteral("print")));
}

void QUIREX::RunJavaScript(const QString &script)
{
    d->restoreLoadedBody();
    d->document.m_loadClock.start();
    {
        const quirex::engine::HangGuard::Watch watch = d->watchDocument();
        d->document.m_mainFrame->evaluateJavaScript(script);
    }
    d->prepareLoadedDocument();
}

void QUIREX::Timer(int time_interval)
{
    // The document's own scripts may run while the loop turns.
    d->restoreLoadedBody();
    QEventLoop loop;
    QTimer timer;
    const long long milliseconds = static_cast<long long>(time_interval) * 1000;
    timer.setInterval(static_cast<int>(std::clamp<long long>(milliseconds, 0, INT_MAX)));
    connect(&timer, SIGNAL(timeout()), &loop, SLOT(quit()));
    timer.start();
    const quirex::engine::HangGuard::Watch watch = d->watchDocument();
    loop.exec();
}

void QUIREXPrivate::setViewportSize(const QSize &size)
{
    if (document.m_webPage->viewportSize() != size)
        document.m_webPage->setViewportSize(size);
}

void QUIREXPrivate::setUpLayout()
{
    QWebFrame *frame = document.m_mainFrame;
    frame->setZoomFactor(documentZoom());
    QUIREX_TRACE() << "m_ContentZoomFactor: " << document.m_zoomFactor << "fit"
                   << document.m_fitScale << "document scale" << document.m_documentScale;
    frame->setScrollBarPolicy(Qt::Horizontal, Qt::ScrollBarAlwaysOff);
    frame->setScrollBarPolicy(Qt::Vertical, Qt::ScrollBarAlwaysOff);

    // The document is laid out one CSS pixel per device pixel at 100 percent
    // across the printable width, in both modes, so the content-sized page
    // of one-page mode does not depend on the size of a window never shown,
    // nor on the paper an earlier document of one-page mode was sized to.
    PageGeometry layout = geometry;
    if (layout.paperKind() == PageGeometry::PaperKind::Pixels)
        layout.restoreNamedPaper();
    const QRect printable = layout.printableRect();
    const int width = printable.width();
    const int height = printable.height();
    const double zoom = layoutZoom();
    const double scale = document.m_documentScale;
    const bool slicingMode = slicing.m_slicingMode;
    // In one-page mode the layout is one pixel high, so the contents, and
    // the page, are as high as the document rather than at least a page.
    const int layoutHeight =
        slicingMode ? static_cast<int>(std::floor(m_renderScale * height / zoom)) : 1;
    document.m_webPage->setPreferredContentsSize(
        QSize(static_cast<int>(std::floor(m_renderScale * width / zoom)), layoutHeight));
    // In one-page mode a viewport no taller than a line, so a short
    // document is not stretched to the height of a page.
    setViewportSize(QSize(static_cast<int>(std::floor(width * scale)),
                          slicingMode ? static_cast<int>(std::floor(height * scale)) : 1));
    document.m_graphicsWebView->setResizesToContents(false);
}

double QUIREXPrivate::layoutZoom() const
{
    return document.m_zoomFactor * document.m_fitScale;
}

double QUIREXPrivate::documentZoom() const
{
    return layoutZoom() * document.m_documentScale / m_renderScale;
}

void QUIREXPrivate::applyPrintStyles()
{
    QWebFrame *frame = document.m_mainFrame;
    if (!document.m_screenMedia && quirex::engine::applyPrintMedia(frame) < 0)
        QUIREX_TRACE() << "print styles not applied: the script did not run";
    const int adjusted = quirex::engine::adjustForPrint(frame, documentZoom());
    QUIREX_TRACE() << "elements adjusted for print:" << adjusted;
}

void QUIREXPrivate::fitContentWidth()
{
    if (!slicing.m_slicingMode)
        return;
    QWebFrame *frame = document.m_mainFrame;
    const int printable = document.m_webPage->viewportSize().width();
    // A device pixel of rounding is no overflow.
    const int tolerance = static_cast<int>(std::ceil(document.m_documentScale));
    const auto widest = [frame] {
        // Reading an element's box brings the layout up to date first.
        frame->documentElement().geometry();
        return frame->contentsSize().width();
    };
    // Content that grows with the layout width may need a second try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int width = widest();
        if (width <= printable + tolerance || document.m_fitScale <= kLowestFitScale)
            break;
        document.m_fitScale =
            std::max(kLowestFitScale, document.m_fitScale * printable / static_cast<double>(width));
        setUpLayout();
    }
    const int width = widest();
    if (width > printable + tolerance)
        m_writeLog(QStringLiteral("The document is wider than the page at half its zoom; its "
                                  "right part is cut off (%1 of %2 pixels printed).")
                       .arg(printable / document.m_documentScale, 0, 'f', 0)
                       .arg(width / document.m_documentScale, 0, 'f', 0));
    if (document.m_fitScale < 1.0)
        QUIREX_TRACE() << "laid out at" << document.m_fitScale << "of the zoom to fit" << width;
}

void QUIREXPrivate::fitDocumentScale()
{
    // 2^25 - 1: the web engine keeps layout positions in 1/64 of a pixel in
    // a 32-bit integer. A document reaching it has lost what lies below.
    constexpr int kLayoutLimit = 33554431;
    constexpr double kLowerScales[] = {5, 2, 1};
    const auto fits = [this] {
        // Reading an element's box brings the layout up to date first.
        document.m_mainFrame->documentElement().geometry();
        return document.m_mainFrame->contentsSize().height() < kLayoutLimit;
    };
    for (const double scale : kLowerScales) {
        if (fits())
            return;
        if (scale < document.m_documentScale) {
            document.m_documentScale = scale;
            setUpLayout();
        }
    }
    if (!fits())
        m_writeLog(QStringLiteral("The document is too long to print whole; its end is lost."));
}

// The wait ends early once no timer, animation frame or network reply is left
// that could change the document: after two such looks in a row, so that an
// event the last piece of work posted has had its turn in between.
void QUIREXPrivate::waitForDocumentScripts(int delayMs)
{
    const quirex::engine::HangGuard::Watch watch = watchDocument();
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    int quietLooks = 0;
    QTimer poll;
    poll.setInterval(kScriptWorkPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const bool quiet = document.m_networkAccess->repliesInFlight() == 0 &&
                           quirex::engine::pendingScriptWork(document.m_mainFrame) == 0;
        quietLooks = quiet ? quietLooks + 1 : 0;
        if (quietLooks >= 2 || clock.elapsed() >= delayMs)
            loop.quit();
    });
    QTimer::singleShot(delayMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    QUIREX_TRACE() << "scripts given" << clock.elapsed() << "ms of" << delayMs;
}

void QUIREXPrivate::prepareLoadedDocument()
{
    // Scripts that build the document after its load get their time first.
    if (!document.m_loadFailed && document.m_javaScriptDelayMs > 0 &&
        document.m_webPage->settings()->testAttribute(QWebSettings::JavascriptEnabled))
        waitForDocumentScripts(document.m_javaScriptDelayMs);
    // Slicing, links and outline read the document as it was loaded.
    restoreLoadedBody();
    {
        // Laying out may run the document's scripts (resize handlers, style queries).
        const quirex::engine::HangGuard::Watch watch = watchDocument();
        // Unchanged since the load began, unless a script or the caller changed
        // the document or the settings: then it is laid out again here.
        setUpLayout();
        applyPrintStyles();
        fitContentWidth();
        fitDocumentScale();
    }
    // Layout cannot be interrupted; a document whose layout ran far past the time-out is
    // given up before it is sliced, and the empty frame is laid out instead.
    const qint64 elapsed = document.m_loadClock.isValid() ? document.m_loadClock.elapsed() : 0;
    const qint64 deadline = nonNegative(document.m_pageTimeoutMs) + kLayoutOverrunMs;
    if (!document.m_loadFailed && elapsed > deadline)
        failLoad(QStringLiteral("layout took %1 ms, past the page time-out of %2 ms")
                     .arg(elapsed)
                     .arg(nonNegative(document.m_pageTimeoutMs)));
    if (document.m_loadFailed) {
        setUpLayout();
        fitDocumentScale();
    }
    const bool custom = geometry.paperKind() == PageGeometry::PaperKind::Custom;
    if (slicing.m_slicingMode) {
        if (!custom)
            geometry.restoreNamedPaper();
        applyGeometryToPrinter();
    } else {
        const QSize contents = document.m_mainFrame->contentsSize();
        if (!custom)
            geometry.setPaperPixels(paperForContents(contents));
        applyGeometryToPrinter();
        setViewportSize(contents);
    }
    document.m_contentsSize = document.m_mainFrame->contentsSize();
    links.m_linksCollected = false;
    links.m_navigationDocument = -1;
    links.m_links.clear();
    m_SliceOnPages();
}

void QUIREXPrivate::groupBodyForPainting()
{
    // Only pages of a sliced document gain: one-page mode paints once.
    if (document.m_bodyGroupingTried || !slicing.m_slicingMode || slicing.m_numberOfPages < 2)
        return;
    document.m_bodyGroupingTried = true;
    const int groups = quirex::engine::groupLongBody(document.m_mainFrame);
    document.m_bodyGrouped = groups > 0;
    QUIREX_TRACE() << "body children grouped for painting:" << groups << "groups";
}

void QUIREXPrivate::restoreLoadedBody()
{
    if (document.m_bodyGrouped)
        quirex::engine::ungroupBody(document.m_mainFrame);
    document.m_bodyGrouped = false;
    document.m_bodyGroupingTried = false;
}

bool QUIREX::javaScriptEnabled() const
{
    return d->document.m_javaScriptEnabled;
}

void QUIREX::setJavaScriptEnabled(bool value)
{
    d->document.m_javaScriptEnabled = value;
    if (!d->document.m_untrusted)
        d->document.m_webPage->settings()->setAttribute(QWebSettings::JavascriptEnabled, value);
}

int QUIREX::javaScriptDelay() const
{
    return d->document.m_javaScriptDelayMs;
}

void QUIREX::setJavaScriptDelay(int milliseconds)
{
    d->document.m_javaScriptDelayMs = std::clamp(milliseconds, 0, 600000);
}

bool QUIREX::loadImages() const
{
    return d->document.m_webPage->settings()->testAttribute(QWebSettings::AutoLoadImages);
}

void QUIREX::setLoadImages(bool value)
{
    d->document.m_webPage->settings()->setAttribute(QWebSettings::AutoLoadImages, value);
}

QString QUIREX::requestHeaders() const
{
    return d->document.m_requestHeaders;
}

void QUIREX::setRequestHeaders(const QString &lines)
{
    QVector<QPair<QByteArray, QByteArray>> headers;
    QStringList kept;
    for (const QString &line : lines.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        const QString name = line.left(colon).trimmed();
        // A name with a blank or a control character would make a request
        // the web engine refuses or a server misreads.
        if (colon <= 0 || name.isEmpty() ||
            std::any_of(name.begin(), name.end(), [](QChar c) { return c <= ' ' || c == 0x7f; }))
            continue;
        QString value = line.mid(colon + 1).trimmed();
        value.remove(QLatin1Char('\r'));
        headers.append({name.toLatin1(), value.toUtf8()});
        kept.append(name + QStringLiteral(": ") + value);
    }
    d->document.m_requestHeaders = kept.join(QLatin1Char('\n'));
    d->document.m_networkAccess->setRequestHeaders(headers);
}
