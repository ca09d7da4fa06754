#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quirex::automation
{
class AutomationObject;
}

namespace quirex::app
{

// Why no engine object could be made.
enum class EngineCreationFailure {
    ClassNotFound,    // the ProgID does not resolve to a class
    ObjectNotCreated, // the class's library gave no object with the engine interface
};

// The rendering engine as the application drives it: one C++ member per
// engine member the converter and the page numbers use, each calling the
// engine object through the automation layer by its member name. This is the
// only place in the application that spells those names. Every member throws
// automation::ComError (the failure code and its text) when the call fails.
//
// Units are the engine's: device pixels for margins, paper and drawing.
class EngineClient final
{
public:
    // The engine's ProgID and the id of its dispatch interface, asked for at
    // creation.
    static QString progId();
    static QString interfaceId();

    // Creates an engine object by ProgID through the per-user registry and
    // asks for the engine interface. Null on failure, with `failure` set.
    static std::unique_ptr<EngineClient> create(EngineCreationFailure *failure);

    explicit EngineClient(automation::AutomationObject object);
    ~EngineClient();

    // The member names this client calls, for the test that checks each one
    // against the live component.
    static QStringList memberNames();

    int numberOfPages();
    void setMarginLeft(int value);
    void setMarginRight(int value);
    void setMarginTop(int value);
    void setMarginBottom(int value);
    void setBaseUrl(const QString &url);
    void setPreserveLinks(bool on);
    void setPostEntireImages(bool on);
    void setPostEntireTables(bool on);
    QString outputFileName();
    void setOutputFileName(const QString &path);
    void setContentZoomFactor(int percent);
    void setEncoding(const QString &name);
    void setPaperSize(const QString &name);
    void setLandscapePageOrientation(bool on);
    int resolution();
    int paperWidth();
    int paperHeight();
    void setFontFamily(const QString &family);
    void setFontStyle(const QString &word);
    void setFontWeight(const QString &word);
    void setFontPointSize(int points);
    void setPenWidth(int devicePixels);
    // The PDF's title once its first page is printed: the one set on the
    // engine, else the first document's own title.
    QString documentTitle();
    void setGrayScaleMode(bool on);
    void setDocumentTitle(const QString &title);
    void setJavaScriptEnabled(bool on);
    void setJavaScriptDelay(int milliseconds);
    void setLoadImages(bool on);
    // "Name: value" lines, sent to the loaded address's own origin.
    void setRequestHeaders(const QString &lines);
    void setOutlineDepth(int levels);

    void loadHtmlString(const QString &html);
    void loadHtmlFile(const QString &path);
    void loadUrl(const QString &url);
    void convertPage(int page);
    void beginDoc();
    void endDoc();
    void drawLine(int x1, int y1, int x2, int y2);
    void setCustomPaperSize(double width, double height);
    void drawText(int x, int y, int width, int height, const QString &layout, const QString &text,
                  double sx, double sy, double angle);
    int getTextHeight(const QString &text);
    // Why the last load, or the EndDoc after it, failed; empty when it
    // succeeded (the engine reports no failure through its other members).
    QString lastFailure();
    void setMediaType(const QString &type);

private:
    EngineClient(const EngineClient &) = delete;
    EngineClient &operator=(const EngineClient &) = delete;
    std::unique_ptr<automation::AutomationObject> m_object;
};

// Makes one engine object; on failure returns null and sets `failure`.
using EngineFactory = std::function<std::unique_ptr<EngineClient>(EngineCreationFailure *failure)>;

} // namespace quirex::app
