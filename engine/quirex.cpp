#include "quirex.h"

#include "documentnetworkaccess.h"
#include "documenttree.h"
#include "drawingwords.h"
#include "encodingnames.h"
#include "enginetrace.h"
#include "fontsubstitution.h"
#include "logfolder.h"
#include "papernames.h"
#include "webpage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGraphicsWebView>
#include <QPrinter>
#include <QTextDocument>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>

#include <algorithm>
#include <climits>
#include <cmath>

#include <dlfcn.h>

using namespace quirex::engine;

namespace {

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

} // namespace

QUIREX::QUIREX() : QWidget(nullptr)
{
    QUIREX_TRACE() << "QUIREX::QUIREX";

    // The script engine's fourth tier compiles code that has run a long
    // while; in a conversion that is mostly the engine's own page-end
    // scripts, and the compilation costs more than it saves: with it off a
    // 200-page manual takes 15 % less CPU and 3 MiB less memory, and a
    // document computing for seconds runs as fast. Read once, when the web
    // engine starts; a value already set is kept.
    if (!qEnvironmentVariableIsSet("JSC_useFTLJIT"))
        qputenv("JSC_useFTLJIT", "false");

    const QString libraryFolder = engineLibraryFolder();
    if (!libraryFolder.isEmpty())
        QCoreApplication::addLibraryPath(libraryFolder);

    // Documents asking for the common Windows fonts get their metric twins.
    static const bool fontsInstalled = [] {
        quirex::engine::installFontSubstitution();
        return true;
    }();
    Q_UNUSED(fontsInstalled);

    m_webView = new QWebView();
    m_webView->setPage(new WebPage(m_webView));
    m_webPage = m_webView->page();
    m_mainFrame = m_webPage->mainFrame();
    m_networkAccess = new DocumentNetworkAccess(m_webPage);
    m_webPage->setNetworkAccessManager(m_networkAccess);
    QWebSettings *settings = m_webPage->settings();
    // Universal access of local documents would let their scripts read any file and any web
    // address; prefetching names would tell a server which document is being converted.
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebSettings::DnsPrefetchEnabled, false);
    readUntrustedMode();
    m_graphicsWebView = std::make_unique<QGraphicsWebView>();
    m_graphicsWebView->setResizesToContents(true);
    m_graphicsWebView->setPage(m_webPage);
    m_textDocument = std::make_unique<QTextDocument>();
    m_printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    m_printer->setResolution(kDefaultResolution);

    m_geometry.setResolution(kDefaultResolution);
    m_zoomFactor = m_renderScale;  // 100 percent
    m_pen.setWidth(0);
    // Text drawn before FontFamily is written uses the stored family too;
    // a new font's stretch reads 0 ("any"), where the font is unstretched.
    m_font.setFamily(m_storedFont.family);
    m_font.setStretch(QFont::Unstretched);
    applyGeometryToPrinter();

    openLog();
}

QUIREX::~QUIREX()
{
    // A document still being written is finished, not lost.
    if (m_painter.isActive() || !m_temporaryOutput.isEmpty())
        EndDoc();
    if (m_logFile.isOpen()) {
        m_logFile.flush();
        m_logFile.close();
    }
    m_mainFrame->setHtml(QString(), QUrl());
    m_graphicsWebView.reset();
    m_textDocument.reset();
    m_printer.reset();
    m_CSSPageBreaksList.clear();
    m_AvoidPointsList.clear();
    m_PointsList.clear();
    m_ImagePointsList.clear();
    m_TablePointsList.clear();
    m_SlicesList.clear();
    QUIREX_TRACE() << "QUIREX::~QUIREX";
    delete m_webView;
}

void QUIREX::openLog()
{
    if (!quirex::platform::openLogFile(m_logFile, QStringLiteral("quirex.log"),
                                       quirex::platform::LogOpenMode::Truncate))
        return;
    m_writeLog(QDateTime::currentDateTime().toString(Qt::ISODate));
}

void QUIREX::m_writeLog(const QString &text)
{
    if (!m_logFile.isOpen())
        return;
    m_logFile.write(text.toLatin1());
    m_logFile.write("\n");
    // Lines are few; each reaches the disk at once, so a crash keeps them.
    m_logFile.flush();
}

void QUIREX::SetLogFile(const QString &sLogFileName)
{
    // The log stays where every user and script finds it.
    Q_UNUSED(sLogFileName);
}

// ---- page geometry --------------------------------------------------------

void QUIREX::applyGeometryToPrinter()
{
    // While painting, the printer would take changes at its next page; they
    // wait for the first-page restart or the next document instead.
    if (m_painter.isActive())
        return;
    // The engine places the printable area itself, so the printer prints on
    // the whole paper with no margins of its own.
    m_printer->setFullPage(true);
    m_printer->setResolution(m_geometry.resolution());
    m_printer->setPageSize(m_geometry.pageSize());
    const bool rotate = m_geometry.isLandscape()
        && m_geometry.paperKind() != PageGeometry::PaperKind::Pixels;
    m_printer->setPageOrientation(rotate ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

int QUIREX::pageHeightInDocumentPixels() const
{
    return m_geometry.printableRect().height() * static_cast<int>(m_documentScale);
}

void QUIREX::setMarginLeft(int value)
{
    QMargins margins = m_geometry.margins();
    margins.setLeft(value);
    m_geometry.setMargins(margins);
    applyGeometryToPrinter();
}

void QUIREX::setMarginRight(int value)
{
    QMargins margins = m_geometry.margins();
    margins.setRight(value);
    m_geometry.setMargins(margins);
    applyGeometryToPrinter();
}

void QUIREX::setMarginTop(int value)
{
    QMargins margins = m_geometry.margins();
    margins.setTop(value);
    m_geometry.setMargins(margins);
    applyGeometryToPrinter();
}

void QUIREX::setMarginBottom(int value)
{
    QMargins margins = m_geometry.margins();
    margins.setBottom(value);
    m_geometry.setMargins(margins);
    applyGeometryToPrinter();
}

QString QUIREX::paperSize() const
{
    switch (m_geometry.paperKind()) {
    case PageGeometry::PaperKind::Named:
        return paperSizeName(m_geometry.namedPaper());
    case PageGeometry::PaperKind::Custom:
        return QStringLiteral("custom");
    case PageGeometry::PaperKind::Pixels:
        break;
    }
    return {};
}

void QUIREX::setPaperSize(const QString &name)
{
    m_paperSizeCode = paperSizeFromName(name);
    m_geometry.setNamedPaper(m_paperSizeCode);
    applyGeometryToPrinter();
}

int QUIREX::paperWidth() const
{
    return m_geometry.paperPixels().width();
}

int QUIREX::paperHeight() const
{
    return m_geometry.paperPixels().height();
}

bool QUIREX::landscapePageOrientation() const
{
    return m_geometry.isLandscape();
}

void QUIREX::setLandscapePageOrientation(bool value)
{
    m_landscapePageOrientation = value;
    if (value) {
        m_geometry.setLandscape(true);
        applyGeometryToPrinter();
    }
}

int QUIREX::resolution() const
{
    return m_geometry.resolution();
}

void QUIREX::setResolution(int dotsPerInch)
{
    if (dotsPerInch > 0)
        m_resolution = dotsPerInch;
}

// ---- stored settings ------------------------------------------------------

void QUIREX::setPageTimeout(int seconds)
{
    // Kept in milliseconds; a value whose milliseconds do not fit is clamped.
    const long long milliseconds = static_cast<long long>(seconds) * 1000;
    m_pageTimeoutMs = static_cast<int>(std::clamp<long long>(milliseconds, INT_MIN, INT_MAX));
}

int QUIREX::contentZoomFactor() const
{
    // Reads the web engine's zoom factor, as the object stores it.
    return static_cast<int>(m_zoomFactor);
}

void QUIREX::setContentZoomFactor(int percent)
{
    // A zoom of zero or less would divide the layout width by zero; beyond
    // ten times the document no longer fits any page.
    m_zoomFactor = std::clamp(percent, 1, 1000) * m_renderScale / 100.0;
}

QString QUIREX::documentTitle() const
{
    return m_printer->docName();
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

// ---- font -----------------------------------------------------------------

void QUIREX::giveFontToPainter()
{
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

void QUIREX::setFontFamily(const QString &value)
{
    m_storedFont.family = value;
    m_font.setFamily(value);
    giveFontToPainter();
}

void QUIREX::setFontFixedPitch(bool value)
{
    m_storedFont.fixedPitch = value;
    m_font.setFixedPitch(value);
    giveFontToPainter();
}

void QUIREX::setFontKerning(bool value)
{
    m_storedFont.kerning = value;
    m_font.setKerning(value);
    giveFontToPainter();
}

void QUIREX::setFontLetterSpacing(double percent)
{
    m_storedFont.letterSpacing = percent;
    m_font.setLetterSpacing(QFont::PercentageSpacing, percent);
    giveFontToPainter();
}

void QUIREX::setFontOverline(bool value)
{
    m_storedFont.overline = value;
    m_font.setOverline(value);
    giveFontToPainter();
}

int QUIREX::fontPointSize() const
{
    return static_cast<int>(std::lround(m_font.pointSizeF() / m_renderScale));
}

void QUIREX::setFontPointSize(int points)
{
    m_storedFont.pointSize = points;
    if (points > 0)
        m_font.setPointSizeF(points * m_renderScale);
    giveFontToPainter();
}

void QUIREX::setFontStretch(int percent)
{
    m_storedFont.stretch = percent;
    m_font.setStretch(std::clamp(percent, 1, 4000));
    giveFontToPainter();
}

void QUIREX::setFontStrikeOut(bool value)
{
    m_storedFont.strikeOut = value;
    m_font.setStrikeOut(value);
    giveFontToPainter();
}

QString QUIREX::fontStyle() const
{
    return fontStyleWord(m_font.style());
}

void QUIREX::setFontStyle(const QString &word)
{
    QFont::Style style = m_font.style();
    if (!fontStyleFromWord(word, &style))
        return;
    m_storedFont.style = style;
    m_font.setStyle(style);
    giveFontToPainter();
}

void QUIREX::setFontUnderline(bool value)
{
    m_storedFont.underline = value;
    m_font.setUnderline(value);
    giveFontToPainter();
}

QString QUIREX::fontWeight() const
{
    return fontWeightWord(m_font.weight());
}

void QUIREX::setFontWeight(const QString &word)
{
    m_storedFont.weight = fontWeightFromWord(word);
    m_font.setWeight(m_storedFont.weight);
    giveFontToPainter();
}

double QUIREX::fontWordSpacing() const
{
    return m_font.wordSpacing() / m_renderScale;
}

void QUIREX::setFontWordSpacing(double devicePixels)
{
    m_storedFont.wordSpacing = devicePixels;
    m_font.setWordSpacing(devicePixels * m_renderScale);
    giveFontToPainter();
}

// ---- pen, brush, background -----------------------------------------------

void QUIREX::givePenToPainter()
{
    if (m_painter.isActive())
        m_painter.setPen(m_pen);
}

QString QUIREX::penStyle() const
{
    return penStyleWord(m_pen.style());
}

void QUIREX::setPenStyle(const QString &word)
{
    m_pen.setStyle(penStyleFromWord(word));
    givePenToPainter();
}

QString QUIREX::penCapStyle() const
{
    return penCapWord(m_pen.capStyle());
}

void QUIREX::setPenCapStyle(const QString &word)
{
    m_pen.setCapStyle(penCapFromWord(word));
    givePenToPainter();
}

void QUIREX::setPenWidth(int value)
{
    m_pen.setWidth(std::max(0, value));
    givePenToPainter();
}

QString QUIREX::penJoinStyle() const
{
    return penJoinWord(m_pen.joinStyle());
}

void QUIREX::setPenJoinStyle(const QString &word)
{
    m_pen.setJoinStyle(penJoinFromWord(word));
    givePenToPainter();
}

QString QUIREX::penColor() const
{
    return m_pen.color().name();
}

void QUIREX::setPenColor(const QString &name)
{
    m_pen.setColor(QColor(name));
    givePenToPainter();
}

QString QUIREX::fillingColor() const
{
    // An inactive painter has the default brush, black and empty.
    return m_painter.isActive() ? m_painter.brush().color().name() : QBrush().color().name();
}

void QUIREX::setFillingColor(const QString &name)
{
    // The brush belongs to the painter, which starts afresh at every start
    // of painting: a colour written before BeginDoc does not survive it.
    if (m_painter.isActive())
        m_painter.setBrush(QBrush(QColor(name)));
}

QString QUIREX::backgroundMode() const
{
    return backgroundModeWord(m_painter.isActive() ? m_painter.backgroundMode()
                                                   : Qt::TransparentMode);
}

void QUIREX::setBackgroundMode(const QString &word)
{
    m_backgroundModeText = word;
    if (m_painter.isActive())
        m_painter.setBackgroundMode(backgroundModeFromWord(word));
}

QString QUIREX::backgroundColor() const
{
    // An inactive painter has the default background, white.
    return m_painter.isActive() ? m_painter.background().color().name()
                                : QColor(Qt::white).name();
}

void QUIREX::setBackgroundColor(const QString &name)
{
    m_backgroundBrush = QBrush(QColor(name));
    if (m_painter.isActive())
        m_painter.setBackground(m_backgroundBrush);
}
