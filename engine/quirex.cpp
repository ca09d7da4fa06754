// The engine object's construction and its stored settings.
#include "quirex.h"
#include "quirex_p.h"

#include "atomicfile.h"
#include "documentnetworkaccess.h"
#include "documenttree.h"
#include "encodingnames.h"
#include "enginetrace.h"
#include "fontsubstitution.h"
#include "printadjustment.h"
#include "webpage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsWebView>
#include <QPrinter>
#include <QTextDocument>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>

#include <algorithm>
#include <climits>

#include <dlfcn.h>

using namespace quirex::engine;

namespace
{

// The folder of the library file that holds this code, so Qt also finds
// plug-ins (image readers) shipped beside the engine.
QString engineLibraryFolder()
{
    Dl_info info{};
    static const int anchor = 0;
    if (dladdr(&anchor, &info) == 0 || info.dli_fname == nullptr)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
}

// The printer's resolution for the engine's whole life, whatever the screen.
constexpr int kDefaultResolution = 96;

// The script engine reads its options once, when it first starts, which may
// be before the first engine object (another web page of the process); so
// they are set when this library is loaded, and a value the environment
// already sets is kept.
// - Its fourth tier compiles code that has run a long while; in a
//   conversion that is mostly the engine's own page-end scripts, and the
//   compilation costs more than it saves: with it off a 200-page manual
//   takes 15 % less CPU and 3 MiB less memory, and a document computing for
//   seconds runs as fast.
// - No script of a document holds the engine without end.
void setScriptEngineOptions()
{
    if (!qEnvironmentVariableIsSet("JSC_useFTLJIT"))
        qputenv("JSC_useFTLJIT", "false");
    limitScriptRuns();
}
const bool kScriptEngineOptionsSet = (setScriptEngineOptions(), true);

} // namespace

QUIREXPrivate::QUIREXPrivate(QUIREX *owner)
    : q(owner)
{
}

QUIREXPrivate::~QUIREXPrivate() = default;

QUIREX::QUIREX()
    : QWidget(nullptr)
    , d(std::make_unique<QUIREXPrivate>(this))
{
    QUIREX_TRACE() << "QUIREX::QUIREX";

    Q_UNUSED(kScriptEngineOptionsSet);
    setScriptEngineOptions();

    const QString libraryFolder = engineLibraryFolder();
    if (!libraryFolder.isEmpty())
        QCoreApplication::addLibraryPath(libraryFolder);

    // Documents asking for the common Windows fonts get their metric twins.
    static const bool fontsInstalled = [] {
        quirex::engine::installFontSubstitution();
        return true;
    }();
    Q_UNUSED(fontsInstalled);

    QUIREXPrivate::Document &document = d->document;
    document.m_webView = new QWebView();
    auto *page = new WebPage(document.m_webView);
    QObject::connect(page, &WebPage::limitReached, this, [this](const QString &what) {
        d->m_writeLog(QStringLiteral("document limited: ") + what);
        QUIREX_TRACE() << "document limited:" << what;
    });
    document.m_webView->setPage(page);
    document.m_webPage = document.m_webView->page();
    document.m_mainFrame = document.m_webPage->mainFrame();
    document.m_networkAccess = new DocumentNetworkAccess(document.m_webPage);
    document.m_hangGuard = std::make_unique<quirex::engine::HangGuard>();
    document.m_webPage->setNetworkAccessManager(document.m_networkAccess);
    QWebSettings *settings = document.m_webPage->settings();
    // Universal access of local documents would let their scripts read any file and any web
    // address; prefetching names would tell a server which document is being converted.
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebSettings::DnsPrefetchEnabled, false);
    // The font names of the process-wide sheet, and what paper needs.
    settings->setUserStyleSheetUrl(documentStyleSheetUrl());
    d->readUntrustedMode();
    document.m_graphicsWebView = std::make_unique<QGraphicsWebView>();
    document.m_graphicsWebView->setResizesToContents(true);
    document.m_graphicsWebView->setPage(document.m_webPage);
    d->drawing.m_textDocument = std::make_unique<QTextDocument>();
    d->output.m_printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    d->output.m_printer->setResolution(kDefaultResolution);

    d->geometry.requestResolution(kDefaultResolution);
    d->geometry.applyRequestedResolution();
    d->drawing.m_pen.setWidth(0);
    // Text drawn before FontFamily is written uses the stored family too;
    // a new font's stretch reads 0 ("any"), where the font is unstretched.
    d->drawing.m_font.setFamily(d->drawing.m_storedFont.family);
    d->drawing.m_font.setStretch(QFont::Unstretched);
    d->applyGeometryToPrinter();

    d->openLog();
}

QUIREX::~QUIREX()
{
    // A document still being written without EndDoc is abandoned: it is
    // unfinished (a caller that gave up on it, or that failed), and the file
    // at OutputFileName stays as it was.
    if (d->output.m_painter.isActive())
        d->output.m_painter.end();
    d->discardTemporaryOutput();
    d->closeLog();
    d->document.m_mainFrame->setHtml(QString(), QUrl());
    d->document.m_graphicsWebView.reset();
    d->drawing.m_textDocument.reset();
    d->output.m_printer.reset();
    QUIREXPrivate::Slicing &slicing = d->slicing;
    slicing.m_CSSPageBreaksList.clear();
    slicing.m_AvoidPointsList.clear();
    slicing.m_PointsList.clear();
    slicing.m_ImagePointsList.clear();
    slicing.m_TablePointsList.clear();
    slicing.m_SlicesList.clear();
    QUIREX_TRACE() << "QUIREX::~QUIREX";
    delete d->document.m_webView;
}

// ---- read by tests and the benchmark ---------------------------------------

QWebFrame *QUIREX::mainFrame() const
{
    return d->document.m_mainFrame;
}

const std::vector<int> &QUIREX::sliceBoundaries() const
{
    return d->slicing.m_SlicesList;
}

QSize QUIREX::contentsSize() const
{
    return d->document.m_contentsSize;
}

// ---- stored settings ------------------------------------------------------

int QUIREX::numberOfPages() const
{
    return d->slicing.m_numberOfPages;
}

QString QUIREX::baseUrl() const
{
    return d->document.m_baseUrl;
}

void QUIREX::setBaseUrl(const QString &value)
{
    d->document.m_baseUrl = value;
}

bool QUIREX::preserveLinks() const
{
    return d->links.m_preserveLinks;
}

void QUIREX::setPreserveLinks(bool value)
{
    d->links.m_preserveLinks = value;
}

int QUIREX::pageTimeout() const
{
    return d->document.m_pageTimeoutMs / 1000;
}

void QUIREX::setPageTimeout(int seconds)
{
    // Kept in milliseconds; a value whose milliseconds do not fit is clamped.
    const long long milliseconds = static_cast<long long>(seconds) * 1000;
    d->document.m_pageTimeoutMs =
        static_cast<int>(std::clamp<long long>(milliseconds, INT_MIN, INT_MAX));
}

bool QUIREX::postEntireImages() const
{
    return d->slicing.m_postEntireImages;
}

void QUIREX::setPostEntireImages(bool value)
{
    d->slicing.m_postEntireImages = value;
}

bool QUIREX::postEntireTables() const
{
    return d->slicing.m_postEntireTables;
}

void QUIREX::setPostEntireTables(bool value)
{
    d->slicing.m_postEntireTables = value;
}

QString QUIREX::outputFileName() const
{
    return d->output.m_outputFileName;
}

void QUIREX::setOutputFileName(const QString &value)
{
    d->output.m_outputFileName = value;
}

bool QUIREX::slicingMode() const
{
    return d->slicing.m_slicingMode;
}

void QUIREX::setSlicingMode(bool value)
{
    d->slicing.m_slicingMode = value;
}

bool QUIREX::resolveRelativeHyperlinks() const
{
    return d->document.m_resolveRelativeHyperlinks;
}

void QUIREX::setResolveRelativeHyperlinks(bool value)
{
    d->document.m_resolveRelativeHyperlinks = value;
}

int QUIREX::contentZoomFactor() const
{
    // Reads the web engine's zoom factor, as the object stores it.
    return static_cast<int>(d->document.m_zoomFactor);
}

void QUIREX::setContentZoomFactor(int percent)
{
    // A zoom of zero or less would divide the layout width by zero; beyond
    // ten times the document no longer fits any page.
    d->document.m_zoomFactor = std::clamp(percent, 1, 1000) * QUIREXPrivate::m_renderScale / 100.0;
}

bool QUIREX::grayScaleMode() const
{
    return d->output.m_grayScaleMode;
}

void QUIREX::setGrayScaleMode(bool value)
{
    d->output.m_grayScaleMode = value;
}

bool QUIREX::resolveCssPageBreaks() const
{
    return d->slicing.m_resolveCssPageBreaks;
}

void QUIREX::setResolveCssPageBreaks(bool value)
{
    d->slicing.m_resolveCssPageBreaks = value;
}

bool QUIREX::postScriptFormat() const
{
    return d->output.m_printingPostScript;
}

void QUIREX::setPostScriptFormat(bool value)
{
    d->output.m_postScriptFormat = value;
}

QString QUIREX::documentTitle() const
{
    return d->output.m_printer->docName();
}

void QUIREX::setDocumentTitle(const QString &value)
{
    d->output.m_documentTitle = value;
}

QString QUIREX::encoding() const
{
    return QWebSettings::globalSettings()->defaultTextEncoding();
}

void QUIREX::setEncoding(const QString &value)
{
    // The web engine knows some character sets only under another name.
    QWebSettings::globalSettings()->setDefaultTextEncoding(
        quirex::engine::webKitEncodingName(value));
}

QString QUIREX::pageBackgroundColor() const
{
    return d->output.m_pageBackgroundColor;
}

void QUIREX::setPageBackgroundColor(const QString &value)
{
    d->output.m_pageBackgroundColor = value;
}
