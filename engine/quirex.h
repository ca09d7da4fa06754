#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QUIREXPrivate;
class QWebFrame;

// The rendering engine: loads one HTML document into an embedded web engine,
// cuts the laid-out document into pages and prints them into a PDF file, and
// lets a caller draw on the pages. Configured through its properties, driven
// through its public slots; never shown on screen. Its state and helpers are
// in the private part (quirex_p.h).
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
    Q_PROPERTY(bool JavaScriptEnabled READ javaScriptEnabled WRITE setJavaScriptEnabled)
    Q_PROPERTY(int JavaScriptDelay READ javaScriptDelay WRITE setJavaScriptDelay)
    Q_PROPERTY(bool LoadImages READ loadImages WRITE setLoadImages)
    Q_PROPERTY(QString RequestHeaders READ requestHeaders WRITE setRequestHeaders)
    Q_PROPERTY(int OutlineDepth READ outlineDepth WRITE setOutlineDepth)

public:
    QUIREX();
    ~QUIREX() override;

    int numberOfPages() const;
    int marginLeft() const;
    void setMarginLeft(int value);
    int marginRight() const;
    void setMarginRight(int value);
    int marginTop() const;
    void setMarginTop(int value);
    int marginBottom() const;
    void setMarginBottom(int value);
    QString baseUrl() const;
    void setBaseUrl(const QString &value);
    bool preserveLinks() const;
    void setPreserveLinks(bool value);
    int pageTimeout() const;
    void setPageTimeout(int seconds);
    bool postEntireImages() const;
    void setPostEntireImages(bool value);
    bool postEntireTables() const;
    void setPostEntireTables(bool value);
    QString outputFileName() const;
    void setOutputFileName(const QString &value);
    bool slicingMode() const;
    void setSlicingMode(bool value);
    bool resolveRelativeHyperlinks() const;
    void setResolveRelativeHyperlinks(bool value);
    int contentZoomFactor() const;
    void setContentZoomFactor(int percent);
    bool grayScaleMode() const;
    void setGrayScaleMode(bool value);
    bool resolveCssPageBreaks() const;
    void setResolveCssPageBreaks(bool value);
    bool postScriptFormat() const;
    void setPostScriptFormat(bool value);
    QString documentTitle() const;
    void setDocumentTitle(const QString &value);
    QString encoding() const;
    void setEncoding(const QString &value);
    QString fontFamily() const;
    void setFontFamily(const QString &value);
    bool fontFixedPitch() const;
    void setFontFixedPitch(bool value);
    bool fontKerning() const;
    void setFontKerning(bool value);
    double fontLetterSpacing() const;
    void setFontLetterSpacing(double percent);
    bool fontOverline() const;
    void setFontOverline(bool value);
    int fontPointSize() const;
    void setFontPointSize(int points);
    int fontStretch() const;
    void setFontStretch(int percent);
    bool fontStrikeOut() const;
    void setFontStrikeOut(bool value);
    QString fontStyle() const;
    void setFontStyle(const QString &word);
    bool fontUnderline() const;
    void setFontUnderline(bool value);
    QString fontWeight() const;
    void setFontWeight(const QString &word);
    double fontWordSpacing() const;
    void setFontWordSpacing(double devicePixels);
    QString penStyle() const;
    void setPenStyle(const QString &word);
    QString penCapStyle() const;
    void setPenCapStyle(const QString &word);
    int penWidth() const;
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
    QString pageBackgroundColor() const;
    void setPageBackgroundColor(const QString &value);
    int resolution() const;
    void setResolution(int dotsPerInch);
    // Whether the documents' scripts run (on by default; the untrusted mode
    // keeps them off whatever this says).
    bool javaScriptEnabled() const;
    void setJavaScriptEnabled(bool value);
    // Milliseconds the engine lets scripts run after a load has finished,
    // before the document is cut into pages (0 by default; 0 to 600000).
    int javaScriptDelay() const;
    void setJavaScriptDelay(int milliseconds);
    // Whether images are loaded and printed (on by default).
    bool loadImages() const;
    void setLoadImages(bool value);
    // HTTP header lines "Name: value", one per line, sent with every request
    // to the origin of the address loaded by LoadURL; a line without a
    // colon is left out.
    QString requestHeaders() const;
    void setRequestHeaders(const QString &lines);
    // The heading levels the PDF outline takes, 0 (no outline) to 6 (all,
    // the default); other values are clamped.
    int outlineDepth() const;
    void setOutlineDepth(int levels);

    // Read by tests and the benchmark: the loaded document, the slice
    // boundaries of the last load (document pixels, ascending; empty after
    // ConvertAll) and the contents size recorded after it ((-1, -1) before
    // the first load).
    QWebFrame *mainFrame() const;
    const std::vector<int> &sliceBoundaries() const;
    QSize contentsSize() const;

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
    void DrawImage(int x, int y, const QString &image_location, double sx, double sy, double angle);
    void Timer(int time_interval);
    // Why the last load failed (a network error, an HTTP status of 400 or
    // more, redirects without end, PageTimeout, a file that cannot be read),
    // or after EndDoc why its document was not put in place at
    // OutputFileName; empty when it succeeded.
    QString LastFailure();
    // "screen" lays the next documents out with their screen styles, "print"
    // (the default) with their print styles; any other value changes nothing.
    void SetMediaType(const QString &sMediaType);

private:
    std::unique_ptr<QUIREXPrivate> d;
};

Q_DECLARE_METATYPE(QUIREX *)
