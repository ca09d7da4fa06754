#pragma once

#include "navigationrecorder.h"
#include "pagegeometry.h"
#include "pageslicer.h"
#include "pointlist.h"

#include <QBrush>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <unordered_map>
#include <vector>

class QGraphicsWebView;
class QPrinter;
class QTextDocument;
class QWebElement;
class QWebFrame;
class QWebPage;
class QWebView;

namespace quirex::engine
{
class DocumentNetworkAccess;
class DocumentTree;
}

// The rendering engine: loads one HTML document into an embedded web engine,
// cuts the laid-out document into pages and prints them into a PDF file, and
// lets a caller draw on the pages. Configured through its properties, driven
// through its public slots; never shown on screen.
//
// Units: device pixels (printer pixels at Resolution, from the top-left of
// the printable area) for margins, paper and drawing; document pixels (the
// rendered, zoomed document, ten per device pixel) for slice boundaries and
// the contents size.
class QUIREX : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{840DD696-FE7C-4E64-B054-066F945F2E48}")
    Q_CLASSINFO("InterfaceID", "{66B7DD32-88C8-4F8A-B2D0-71A0A554D870}")

    // The order of the properties and public slots below is the order of the
    // automation interface: clients call members by their position.
    Q_PROPERTY(int NumberOfPages READ numberOfPages)
    Q_PROPERTY(int MarginLeft READ marginLeft WRITE setMarginLeft)
    Q_PROPERTY(int MarginRight READ marginRight WRITE setMarginRight)
    Q_PROPERTY(int MarginTop READ marginTop WRITE setMarginTop)
    Q_PROPERTY(int MarginBottom READ marginBottom WRITE setMarginBottom)
    Q_PROPERTY(QString BaseURL READ baseUrl WRITE setBaseUrl)
    Q_PROPERTY(bool PreserveLinks READ preserveLinks WRITE setPreserveLinks)
    Q_PROPERTY(int PageTimeout READ pageTimeout WRITE setPageTimeout)
    Q_PROPERTY(bool PostEntireImages READ postEntireImages WRITE setPostEntireImages)
    Q_PROPERTY(bool PostEntireTables READ postEntireTables WRITE setPostEntireTables)
    Q_PROPERTY(QString OutputFileName READ outputFileName WRITE setOutputFileName)
    Q_PROPERTY(bool SlicingMode READ slicingMode WRITE setSlicingMode)
    Q_PROPERTY(bool ResolveRelativeHyperlinks READ resolveRelativeHyperlinks WRITE
                   setResolveRelativeHyperlinks)
    Q_PROPERTY(int ContentZoomFactor READ contentZoomFactor WRITE setContentZoomFactor)
    Q_PROPERTY(bool GrayScaleMode READ grayScaleMode WRITE setGrayScaleMode)
    Q_PROPERTY(bool ResolveCSSPageBreaks READ resolveCssPageBreaks WRITE setResolveCssPageBreaks)
    Q_PROPERTY(bool PostScriptFormat READ postScriptFormat WRITE setPostScriptFormat)
    Q_PROPERTY(QString DocumentTitle READ documentTitle WRITE setDocumentTitle)
    Q_PROPERTY(QString Encoding READ encoding WRITE setEncoding)
    Q_PROPERTY(QString FontFamily READ fontFamily WRITE setFontFamily)
    Q_PROPERTY(bool FontFixedPitch READ fontFixedPitch WRITE setFontFixedPitch)
    Q_PROPERTY(bool FontKerning READ fontKerning WRITE setFontKerning)
    Q_PROPERTY(double FontLetterSpacing READ fontLetterSpacing WRITE setFontLetterSpacing)
    Q_PROPERTY(bool FontOverline READ fontOverline WRITE setFontOverline)
    Q_PROPERTY(int FontPointSize READ fontPointSize WRITE setFontPointSize)
    Q_PROPERTY(int FontStretch READ fontStretch WRITE setFontStretch)
    Q_PROPERTY(bool FontStrikeOut READ fontStrikeOut WRITE setFontStrikeOut)
    Q_PROPERTY(QString FontStyle READ fontStyle WRITE setFontStyle)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(QString FontWeight READ fontWeight WRITE setFontWeight)
    Q_PROPERTY(double FontWordSpacing READ fontWordSpacing WRITE setFontWordSpacing)
    Q_PROPERTY(QString PenStyle READ penStyle WRITE setPenStyle)
    Q_PROPERTY(QString PenCapStyle READ penCapStyle WRITE setPenCapStyle)
    Q_PROPERTY(int PenWidth READ penWidth WRITE setPenWidth)
    Q_PROPERTY(QString PenJoinStyle READ penJoinStyle WRITE setPenJoinStyle)
    Q_PROPERTY(QString PenColor READ penColor WRITE setPenColor)
    Q_PROPERTY(QString FillingColor READ fillingColor WRITE setFillingColor)
    Q_PROPERTY(QString BackgroundMode READ backgroundMode WRITE setBackgroundMode)
    Q_PROPERTY(QString BackgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QString PaperSize READ paperSize WRITE setPaperSize)
    Q_PROPERTY(int PaperWidth READ paperWidth)
    Q_PROPERTY(int PaperHeight READ paperHeight)
    Q_PROPERTY(bool LandscapePageOrientation READ landscapePageOrientation WRITE
                   setLandscapePageOrientation)
    Q_PROPERTY(QString PageBackgroundColor READ pageBackgroundColor WRITE setPageBackgroundColor)
    Q_PROPERTY(int Resolution READ resolution WRITE setResolution)

public:
    QUIREX();
    ~QUIREX() override;

    int numberOfPages() const { return m_numberOfPages; }
    int marginLeft() const { return m_geometry.margins().left(); }
    void setMarginLeft(int value);
    int marginRight() const { return m_geometry.margins().right(); }
    void setMarginRight(int value);
    int marginTop() const { return m_geometry.margins().top(); }
    void setMarginTop(int value);
    int marginBottom() const { return m_geometry.margins().bottom(); }
    void setMarginBottom(int value);
    QString baseUrl() const { return m_baseUrl; }
    void setBaseUrl(const QString &value) { m_baseUrl = value; }
    bool preserveLinks() const { return m_preserveLinks; }
    void setPreserveLinks(bool value) { m_preserveLinks = value; }
    int pageTimeout() const { return m_pageTimeoutMs / 1000; }
    void setPageTimeout(int seconds);
    bool postEntireImages() const { return m_postEntireImages; }
    void setPostEntireImages(bool value) { m_postEntireImages = value; }
    bool postEntireTables() const { return m_postEntireTables; }
    void setPostEntireTables(bool value) { m_postEntireTables = value; }
    QString outputFileName() const { return m_outputFileName; }
    void setOutputFileName(const QString &value) { m_outputFileName = value; }
    bool slicingMode() const { return m_slicingMode; }
    void setSlicingMode(bool value) { m_slicingMode = value; }
    bool resolveRelativeHyperlinks() const { return m_resolveRelativeHyperlinks; }
    void setResolveRelativeHyperlinks(bool value) { m_resolveRelativeHyperlinks = value; }
    int contentZoomFactor() const;
    void setContentZoomFactor(int percent);
    bool grayScaleMode() const { return m_grayScaleMode; }
    void setGrayScaleMode(bool value) { m_grayScaleMode = value; }
    bool resolveCssPageBreaks() const { return m_resolveCssPageBreaks; }
    void setResolveCssPageBreaks(bool value) { m_resolveCssPageBreaks = value; }
    bool postScriptFormat() const { return m_printingPostScript; }
    void setPostScriptFormat(bool value) { m_postScriptFormat = value; }
    QString documentTitle() const;
    void setDocumentTitle(const QString &value) { m_documentTitle = value; }
    QString encoding() const;
    void setEncoding(const QString &value);
    QString fontFamily() const { return m_font.family(); }
    void setFontFamily(const QString &value);
    bool fontFixedPitch() const { return m_font.fixedPitch(); }
    void setFontFixedPitch(bool value);
    bool fontKerning() const { return m_font.kerning(); }
    void setFontKerning(bool value);
    double fontLetterSpacing() const { return m_storedFont.letterSpacing; }
    void setFontLetterSpacing(double percent);
    bool fontOverline() const { return m_font.overline(); }
    void setFontOverline(bool value);
    int fontPointSize() const;
    void setFontPointSize(int points);
    int fontStretch() const { return m_font.stretch(); }
    void setFontStretch(int percent);
    bool fontStrikeOut() const { return m_font.strikeOut(); }
    void setFontStrikeOut(bool value);
    QString fontStyle() const;
    void setFontStyle(const QString &word);
    bool fontUnderline() const { return m_font.underline(); }
    void setFontUnderline(bool value);
    QString fontWeight() const;
    void setFontWeight(const QString &word);
    double fontWordSpacing() const;
    void setFontWordSpacing(double devicePixels);
    QString penStyle() const;
    void setPenStyle(const QString &word);
    QString penCapStyle() const;
    void setPenCapStyle(const QString &word);
    int penWidth() const { return m_pen.width(); }
    void setPenWidth(int value);
    QString penJoinStyle() const;
    void setPenJoinStyle(const QString &word);
    QString penColor() const;
    void setPenColor(const QString &name);
    QString fillingColor() const;
    void setFillingColor(const QString &name);
    QString backgroundMode() const;
    void setBackgroundMode(const QString &word);
    QString backgroundColor() const;
    void setBackgroundColor(const QString &name);
    QString paperSize() const;
    void setPaperSize(const QString &name);
    int paperWidth() const;
    int paperHeight() const;
    bool landscapePageOrientation() const;
    void setLandscapePageOrientation(bool value);
    QString pageBackgroundColor() const { return m_pageBackgroundColor; }
    void setPageBackgroundColor(const QString &value) { m_pageBackgroundColor = value; }
    int resolution() const;
    void setResolution(int dotsPerInch);

    // Read by tests and the benchmark: the loaded document and the slice
    // boundaries of the last load.
    QWebFrame *mainFrame() const { return m_mainFrame; }
    const std::vector<int> &sliceBoundaries() const { return m_SlicesList; }
    QSize contentsSize() const { return m_contentsSize; }

public Q_SLOTS:
    void LoadHTMLString(const QString &sHTML);
    void LoadHTMLFile(const QString &sFileName);
    void LoadURL(const QString &sURL);
    void ConvertPage(int lPage);
    void ConvertAll();
    void SetLogFile(const QString &sLogFileName);
    void BeginDoc();
    void EndDoc();
    void DrawArc(int x, int y, int w, int h, int startAngle, int spanAngle);
    void DrawChord(int x, int y, int w, int h, int startAngle, int spanAngle);
    void DrawEllipse(int x, int y, int width, int height, double angle);
    void DrawLine(int x1, int y1, int x2, int y2);
    void DrawPie(int x, int y, int width, int height, int startAngle, int spanAngle);
    void DrawPoint(int x, int y);
    void DrawRect(int x, int y, int width, int height, double angle);
    void DrawRoundedRect(int x, int y, int w, int h, int xR, int yR, double angle);
    void NewPage();
    void SetCustomPaperSize(double w, double h);
    void RunJavaScript(const QString &script);
    void DrawText(int x, int y, int width, int height, const QString &text_layout,
                  const QString &text, double sx, double sy, double angle);
    void DrawHTML(int left, int top, int width, const QString &HTMLText, double sx, double sy,
                  double angle);
    int GetTextHeight(const QString &text);
    void DrawImage(int x, int y, const QString &image_location, double sx, double sy,
                   double angle);
    void Timer(int time_interval);

private Q_SLOTS:
    void m_writeLog(const QString &text);
    void m_SetUpPrinter();
    void m_ConvertPage(int from_pos, int to_pos);
    void m_OnePageConverter();
    void m_MultiplePageConverter();
    void m_FillPageBackground(const QString &color_str);
    int m_OnPageTimeout();
    void m_ReplaceHtml(const QWebElement &parentElement);
    void m_ReplaceBigBlocks(const QWebElement &parentElement);
    void m_SliceOnPages();
    void m_FindCSSPageBreaks();
    void m_FindPoints(const QWebElement &parentElement);
    int m_DrawHyperlinksOnPage(bool PreserveHyperlinks, int from_pos, int to_pos);
    void m_DrawRectHyperlink(const QRectF &box, const quirex::engine::LinkAddress &link);

private:
    struct StoredFontAttributes
    {
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

    // A link of the loaded document: its box in document pixels and its
    // href (null when the anchor has none).
    struct DocumentLink
    {
        QRect geometry;
        QString href;
        // Set when the link goes to a document that may be in this PDF
        // (this one, or a local file): its address and fragment.
        bool jumps = false;
        QString jumpAddress;
        QString jumpFragment;
    };

    void openLog();
    // Reads QUIREX_UNTRUSTED (at construction and at every BeginDoc): any value but empty or
    // "0" makes this object strict for the rest of its life: no scripts, no network request,
    // local files only from the document's folder and below.
    void readUntrustedMode();
    // Tells the network access which document a load brings and which address the caller
    // asked for (empty for strings).
    void startDocument(const QUrl &documentUrl, const QUrl &entry);
    // Starts a load with `startLoad` and waits until the frame finishes or
    // PageTimeout has passed (counted from the start of the load, whether or
    // not the frame reports it), then prepares the document for printing.
    template<typename StartLoad>
    void waitForLoad(StartLoad startLoad);
    void prepareLoadedDocument();
    // Zoom, layout size and viewport of the document, set before a load
    // too: the document is then laid out once, at its final size, while it
    // loads (as every later load of an object always was), instead of at
    // 100 percent in a view of the window's size and twice more afterwards.
    void setUpLayout();
    void collectLinks();
    // Registers the loaded document with the navigation recorder (once per
    // load) and notes that slice [from, to) goes onto the current page.
    void recordSliceOnPage(int from, int to);
    // Adds the jumps and the outline to the finished output file.
    void addNavigationToOutput();
    void newPrinterPage();
    double pointsPerDocumentPixel() const;
    // Starts the next output page: the first one restarts painting with the
    // final paper and margins, every other one is a printer page break.
    bool startPage(bool onePageMode);
    bool beginPainting();
    // The output is painted into a temporary file beside the target and put
    // in place by EndDoc, so a failed conversion never leaves a torn file.
    bool createTemporaryOutput();
    void discardTemporaryOutput();
    // Writes why the output could not be written to the log and the trace.
    void reportOutputFailure(const QString &reason);
    void finishOutput();
    int sliceBoundary(int index) const;
    // One-page mode: the paper for a document of `contents` size (document
    // pixels), the margins around it, in device pixels.
    QSize paperForContents(const QSize &contents) const;
    // How far the painting of a slice stays from a boundary between two
    // lines of text (0 for other boundaries), in document pixels.
    int insetAt(int boundary) const;
    void endPainting();
    void resetPainterTransform();
    // Sets the stored font attributes on the font (point size at ten times
    // its value) and gives the font to the painter.
    void applyStoredFontAttributes();
    // Hands the engine's page geometry to the printer (whole-page mode:
    // the engine places the printable area itself, to the device pixel).
    void applyGeometryToPrinter();
    // Gives the pen, or the font, to the painter when painting is active.
    void givePenToPainter();
    void giveFontToPainter();
    // Paints document rows [from, to) at the top of the printable area.
    void paintSlice(int from, int to);
    // Groups the children of a long, flat body once per loaded document
    // before its first page is painted (see bodygrouping.h), and takes the
    // groups out again before anything but painting may look at the
    // document (a script, the event loop, a new load, slicing).
    void groupBodyForPainting();
    void restoreLoadedBody();
    int pageHeightInDocumentPixels() const;
    void setViewportSize(const QSize &size);
    // The web engine's zoom for the loaded document: the caller's zoom at
    // the document scale.
    double documentZoom() const;
    // Lowers the document scale until the web engine lays out the whole
    // document (see m_documentScale).
    void fitDocumentScale();

    const double m_renderScale = 10.0;
    double m_zoomFactor = 10.0;
    // Document pixels per device pixel for the web content: the render
    // scale, unless the document is taller than the web engine can lay out
    // at it (it drops what lies below 2^25 document pixels, about 3,300 A4
    // pages at the render scale); then 5, 2 or 1. Text and shapes the
    // caller draws keep the render scale.
    double m_documentScale = 10.0;
    bool m_firstPage = true;
    bool m_bodyGroupingTried = false;
    bool m_bodyGrouped = false;

    QWebView *m_webView = nullptr;
    QWebPage *m_webPage = nullptr;
    QWebFrame *m_mainFrame = nullptr;
    quirex::engine::DocumentNetworkAccess *m_networkAccess = nullptr; // owned by the page
    bool m_untrusted = false;
    std::unique_ptr<QGraphicsWebView> m_graphicsWebView;
    std::unique_ptr<QTextDocument> m_textDocument;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QPen m_pen;
    QBrush m_backgroundBrush;
    QFont m_font;
    QFile m_logFile;

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
    // Slice boundaries that pass between two lines of text, ascending.
    std::vector<int> m_lineCuts;

    std::vector<DocumentLink> m_links;  // sorted by top edge
    bool m_linksCollected = false;
    quirex::engine::NavigationRecorder m_navigation;
    int m_navigationDocument = -1;  // the loaded document's number there
    int m_outputPage = 0;  // the page being painted, counted from 0
    // The file painting goes to until EndDoc puts it in place, and the file
    // the caller asked for.
    QString m_temporaryOutput;
    QString m_finalOutput;

    quirex::engine::PageGeometry m_geometry;
    QPageSize::PageSizeId m_paperSizeCode = QPageSize::A4;
    bool m_landscapePageOrientation = false;
    int m_numberOfPages = 1;
    int m_pageTimeoutMs = 60000;
    QString m_outputFileName = QStringLiteral("document.pdf");
    QString m_baseUrl;
    QString m_documentTitle;
    QString m_pageBackgroundColor = QStringLiteral("white");
    QString m_backgroundModeText;
    bool m_slicingMode = true;
    bool m_resolveRelativeHyperlinks = true;
    bool m_preserveLinks = true;
    bool m_grayScaleMode = false;
    bool m_postEntireImages = false;
    bool m_postEntireTables = false;
    bool m_resolveCssPageBreaks = true;
    bool m_postScriptFormat = false;
    // True while the document being written is PostScript; what
    // PostScriptFormat reads.
    bool m_printingPostScript = false;
    int m_resolution = 96;
    StoredFontAttributes m_storedFont;
    QSize m_contentsSize{-1, -1};
};

Q_DECLARE_METATYPE(QUIREX *)
