#pragma once

// Private to the engine object: the state of a QUIREX and the helpers its
// members share, grouped by job. Only the engine object's own files
// (engine/quirex*.cpp) include it; it is no interface of the engine.

#include "quirex.h"

#include "documentscan.h"
#include "hangguard.h"
#include "navigationrecorder.h"
#include "pagegeometry.h"
#include "pageslicer.h"
#include "pointlist.h"

#include <QBrush>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QGraphicsWebView;
class QPrinter;
class QTextDocument;

namespace quirex::platform
{
class AtomicFile;
}
class QUrl;
class QWebElement;
class QWebPage;
class QWebView;

namespace quirex::engine
{
class DocumentNetworkAccess;
class DocumentTree;
} // namespace quirex::engine

class QUIREXPrivate final
{
public:
    explicit QUIREXPrivate(QUIREX *owner);
    ~QUIREXPrivate();
    Q_DISABLE_COPY(QUIREXPrivate)

    QUIREX *const q;

    // Ten document pixels to one device pixel for the web content (see
    // Document::m_documentScale) and for text and shapes the caller draws.
    static constexpr double m_renderScale = 10.0;
    // Content wider than the printable width is shrunk at most to half the
    // caller's zoom; what is wider still is cut at the right edge.
    static constexpr double kLowestFitScale = 0.5;

    // What LastFailure reads: why the last load, or the last EndDoc after
    // it, failed; empty when it succeeded.
    QString m_lastFailure;

    // The web engine and the document loaded into it.
    struct Document {
        QWebView *m_webView = nullptr;
        QWebPage *m_webPage = nullptr;
        QWebFrame *m_mainFrame = nullptr;
        quirex::engine::DocumentNetworkAccess *m_networkAccess = nullptr; // owned by the page
        std::unique_ptr<QGraphicsWebView> m_graphicsWebView;
        bool m_untrusted = false;
        bool m_javaScriptEnabled = true;
        int m_javaScriptDelayMs = 0;
        QString m_requestHeaders;
        QString m_baseUrl;
        bool m_resolveRelativeHyperlinks = true;
        int m_pageTimeoutMs = 60000;
        double m_zoomFactor = m_renderScale; // 100 percent
        // The share of the caller's zoom the loaded document is laid out at:
        // below 1 when its widest content would not fit the printable width
        // (see fitContentWidth()), never below kLowestFitScale.
        double m_fitScale = 1.0;
        // Laid out with the screen styles instead of the print styles.
        bool m_screenMedia = false;
        // Document pixels per device pixel for the web content: the render
        // scale, unless the document is taller than the web engine can lay out
        // at it (it drops what lies below 2^25 document pixels, about 3,300 A4
        // pages at the render scale); then 5, 2 or 1. Text and shapes the
        // caller draws keep the render scale.
        double m_documentScale = m_renderScale;
        QSize m_contentsSize{-1, -1};
        bool m_bodyGroupingTried = false;
        bool m_bodyGrouped = false;
        // Since when the current load (or the caller's script) runs, and whether the load
        // failed (see failLoad).
        QElapsedTimer m_loadClock;
        bool m_loadFailed = false;
        // Ends the process when a document holds the event loop far past PageTimeout.
        std::unique_ptr<quirex::engine::HangGuard> m_hangGuard;
    };

    // The cut of the loaded document into pages.
    struct Slicing {
        bool m_slicingMode = true;
        bool m_postEntireImages = false;
        bool m_postEntireTables = false;
        bool m_resolveCssPageBreaks = true;
        quirex::engine::PointList m_CSSPageBreaksList;
        quirex::engine::PointList m_AvoidPointsList;
        quirex::engine::PointList m_PointsList;
        quirex::engine::PointList m_ImagePointsList;
        quirex::engine::PointList m_TablePointsList;
        // The extents of the elements whose page-break-inside is "avoid".
        std::vector<quirex::engine::Extent> m_avoidedBlocks;
        // The elements the points scan visited, during a slicing pass.
        std::unique_ptr<quirex::engine::DocumentTree> m_documentTree;
        std::vector<int> m_SlicesList;
        // Slice boundaries that pass between two lines of text, ascending,
        // and how far the glyphs beside those that have any reach across
        // them (boundary, reach), ascending.
        std::vector<int> m_lineCuts;
        std::vector<std::pair<int, int>> m_lineCutOverhangs;
        int m_numberOfPages = 1;
        // What the points scan noted about tables; after the pass, the
        // header and footer groups that pages repeat.
        quirex::engine::TableScan m_tables;
        // The page height the last pass cut the document for.
        int m_pageHeight = 0;
    };

    // The header and footer rows of a table that a page repeats, in
    // document pixels: empty when it repeats none.
    struct RepeatedRows {
        QRect head;
        QRect foot;
    };

    // The links of the loaded document and the navigation of the output.
    struct Links {
        // A link of the loaded document: its box in document pixels and its
        // href (null when the anchor has none).
        struct DocumentLink {
            QRect geometry;
            QString href;
            // Set when the link goes to a document that may be in this PDF
            // (this one, or a local file): its address and fragment.
            bool jumps = false;
            QString jumpAddress;
            QString jumpFragment;
        };

        bool m_preserveLinks = true;
        std::vector<DocumentLink> m_links; // sorted by top edge
        bool m_linksCollected = false;
        quirex::engine::NavigationRecorder m_navigation;
        int m_navigationDocument = -1; // the loaded document's number there
        int m_outlineDepth = 6;
    };

    // The output document: printer, painter and files.
    struct Output {
        std::unique_ptr<QPrinter> m_printer;
        QPainter m_painter;
        QString m_outputFileName = QStringLiteral("document.pdf");
        QString m_documentTitle;
        QString m_pageBackgroundColor = QStringLiteral("white");
        bool m_grayScaleMode = false;
        bool m_postScriptFormat = false;
        // True while the document being written is PostScript; what
        // PostScriptFormat reads.
        bool m_printingPostScript = false;
        bool m_firstPage = true;
        int m_outputPage = 0; // the page being painted, counted from 0
        // The file painting goes to until EndDoc puts it in place (the path
        // of m_outputFile while a document is open), and the file the caller
        // asked for.
        QString m_temporaryOutput;
        QString m_finalOutput;
        std::unique_ptr<quirex::platform::AtomicFile> m_outputFile;
        // Why the document begun last cannot be put in place; empty while it can.
        QString m_outputFailure;
    };

    // What the drawing interface draws with.
    struct Drawing {
        struct StoredFontAttributes {
            QString family = QStringLiteral("Arial");
            bool fixedPitch = false;
            bool kerning = false;
            double letterSpacing = 100.0;
            bool overline = false;
            int pointSize = 10;
            int stretch = 100;
            bool strikeOut = false;
            QFont::Style style = QFont::StyleNormal;
            bool underline = false;
            int weight = QFont::Normal;
            double wordSpacing = 0.0;
        };

        QPen m_pen;
        QBrush m_backgroundBrush;
        QFont m_font;
        StoredFontAttributes m_storedFont;
        QString m_backgroundModeText;
        std::unique_ptr<QTextDocument> m_textDocument;
    };

    // The engine's log file, quirex.log; trace lines go to the logging
    // category of enginetrace.h.
    struct Logging {
        QFile m_logFile;
    };

    Document document;
    // Paper, orientation, margins and resolution: one record.
    quirex::engine::PageGeometry geometry;
    Slicing slicing;
    Links links;
    Output output;
    Drawing drawing;
    Logging logging;

    // ---- document (quirex_document.cpp) ----
    // Reads QUIREX_UNTRUSTED (at construction and at every BeginDoc): any value but empty or
    // "0" makes this object strict for the rest of its life: no scripts, no network request,
    // local files only from the document's folder and below.
    void readUntrustedMode();
    // Tells the network access which document a load brings and which address the caller
    // asked for (empty for strings).
    void startDocument(const QUrl &documentUrl, const QUrl &entry);
    // Runs `startLoad` and waits until the frame finishes or PageTimeout has
    // passed (counted from the start of the load, whether or not the frame
    // reports it); m_lastFailure then says why the load failed. `documentUrl`
    // is the address of the document itself (empty for a string), whose
    // network reply tells an HTTP status of 400 or more, a network error and
    // redirects that never end. A script run stopped by the web engine (it
    // held the page for about scriptRunLimitMs) past PageTimeout fails the
    // load too.
    template <typename StartLoad>
    void waitForLoad(StartLoad startLoad, const QUrl &documentUrl = QUrl());
    // Open while document code may run (a load, its layout, the caller's script, Timer): a
    // stretch without an event-loop turn longer than PageTimeout and kHangGraceMs ends the
    // process (hangguard.h), the web engine having no way to stop it.
    quirex::engine::HangGuard::Watch watchDocument();
    static constexpr qint64 kHangGraceMs = 2000;
    int m_OnPageTimeout();
    // Starts a load's clock and forgets an earlier load's failure.
    void beginLoad();
    // Gives the loaded document up: `reason` goes to the log and the trace, the output being
    // written is discarded (no PDF, no temporary file is left) and the frame is emptied, so
    // nothing more of the document runs or is printed.
    void failLoad(const QString &reason);
    // Fails the load before it starts when its markup nests deeper than kMostMarkupDepth
    // (markupdepth.h); true when it did.
    bool refuseDeepMarkup(int depth);
    void m_ReplaceHtml(const QWebElement &parentElement);
    void m_ReplaceBigBlocks(const QWebElement &parentElement);
    void prepareLoadedDocument();
    // Lets the loaded document's scripts finish what they left for later, for
    // at most `delayMs`.
    void waitForDocumentScripts(int delayMs);
    // Zoom, layout size and viewport of the document, set before a load
    // too: the document is then laid out once, at its final size, while it
    // loads (as every later load of an object always was), instead of at
    // 100 percent in a view of the window's size and twice more afterwards.
    void setUpLayout();
    void setViewportSize(const QSize &size);
    // The zoom the loaded document is laid out at, in the units of
    // Document::m_zoomFactor: the caller's zoom times the fit scale.
    double layoutZoom() const;
    // The web engine's zoom for the loaded document: the layout zoom at the
    // document scale.
    double documentZoom() const;
    // Print styles (unless the screen media type was asked for), and the
    // adjustments of printadjustment.h, before the document is measured.
    void applyPrintStyles();
    // In slicing mode, lays the document out again at a lower zoom when its
    // widest content is wider than the printable width (Document::m_fitScale).
    void fitContentWidth();
    // Lowers the document scale until the web engine lays out the whole
    // document (see Document::m_documentScale).
    void fitDocumentScale();
    // Groups the children of a long, flat body once per loaded document
    // before its first page is painted (see bodygrouping.h), and takes the
    // groups out again before anything but painting may look at the
    // document (a script, the event loop, a new load, slicing).
    void groupBodyForPainting();
    void restoreLoadedBody();

    // ---- page geometry (quirex_geometry.cpp) ----
    // Hands the engine's page geometry to the printer (whole-page mode:
    // the engine places the printable area itself, to the device pixel).
    void applyGeometryToPrinter();
    void setMargins(const QMargins &margins);
    int pageHeightInDocumentPixels() const;
    // One-page mode: the paper for a document of `contents` size (document
    // pixels), the margins around it, in device pixels.
    QSize paperForContents(const QSize &contents) const;

    // ---- slicing (quirex_slicing.cpp) ----
    void m_SliceOnPages();
    void m_FindCSSPageBreaks();
    void m_FindPoints(const QWebElement &parentElement);
    int sliceBoundary(int index) const;
    // How far the painting of a slice stays from a boundary between two
    // lines of text (0 for other boundaries), in document pixels.
    int insetAt(int boundary) const;
    // The table rows the page showing slice [from, to) repeats above and
    // below it.
    RepeatedRows repeatedRows(int from, int to) const;

    // ---- links and navigation (quirex_links.cpp) ----
    void collectLinks();
    // What relative link addresses resolve against: BaseURL, or the loaded
    // document's own base address when BaseURL is empty.
    QString linkBase() const;
    double pointsPerDocumentPixel() const;
    // Registers the loaded document with the navigation recorder (once per
    // load) and notes that slice [from, to) goes onto the current page.
    // `shift`: how far below the top of the printable area the slice is
    // painted, in document pixels (below repeated header rows).
    void recordSliceOnPage(int from, int to, int shift = 0);
    int m_DrawHyperlinksOnPage(bool PreserveHyperlinks, int from_pos, int to_pos, int shift = 0);
    void m_DrawRectHyperlink(const QRectF &box, const quirex::engine::LinkAddress &link);
    // Adds the jumps and the outline to the finished output file.
    void addNavigationToOutput();

    // ---- output document (quirex_output.cpp) ----
    void m_SetUpPrinter();
    bool beginPainting();
    void endPainting();
    void resetPainterTransform();
    // The output is painted into a temporary file beside the target and put
    // in place by EndDoc, so a failed conversion never leaves a torn file.
    bool createTemporaryOutput();
    void discardTemporaryOutput();
    // Writes why the output could not be written to the log and the trace.
    void reportOutputFailure(const QString &reason);
    void finishOutput();

    // ---- pages (quirex_pages.cpp) ----
    void m_FillPageBackground(const QString &color_str);
    // The title of the output: DocumentTitle, or the loaded document's own
    // title when DocumentTitle is empty.
    QString outputTitle() const;
    void newPrinterPage();
    // Starts the next output page: the first one restarts painting with the
    // final paper and margins, every other one is a printer page break.
    bool startPage(bool onePageMode);
    void m_MultiplePageConverter();
    void m_OnePageConverter();
    void m_ConvertPage(int from_pos, int to_pos);
    // Paints document rows [from, to) `at` document pixels below the top of
    // the printable area; `inset` stays clear of boundaries between lines.
    // `columns` of 0 or more limit the painting to that many document pixels
    // from `left`.
    void paintSlice(int from, int to, int at = 0, bool inset = true, int left = 0,
                    int columns = -1);

    // ---- drawing state (quirex_drawingstate.cpp) ----
    // Gives the pen, or the font, to the painter when painting is active.
    void givePenToPainter();
    void giveFontToPainter();
    // Sets the stored font attributes on the font (point size at ten times
    // its value) and gives the font to the painter.
    void applyStoredFontAttributes();

    // ---- log (quirex_log.cpp) ----
    void openLog();
    void closeLog();
    void m_writeLog(const QString &text);
};
