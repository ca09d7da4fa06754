#pragma once

#include <QString>
#include <QWebPage>

class QWebFrame;

namespace quirex::engine
{

// Longest a script may run at a stretch (one script element, handler or timer callback), in
// milliseconds of processor time, before the web engine stops it.
inline constexpr int scriptRunLimitMs = 2000;
// Deepest node a script may build into a document, counted from the document: twice as deep
// as the web engine's HTML parser nests (512), far from where its layout runs out of stack.
inline constexpr int documentDepthLimit = 1024;

// Makes the web engine stop every script run that passes scriptRunLimitMs. The web engine
// reads the limit once per process, when it starts: call this before the first web page is
// made. A limit already set in the environment (JSC_watchdog) is kept.
void limitScriptRuns();

// The engine's web page. It refuses the error-page extension, so a load that
// fails leaves the frame as it is instead of showing the web engine's own
// error text, which would otherwise be printed into the output. Scripts'
// alert, confirm and prompt return at once (confirm and prompt as if
// cancelled): the default boxes would wait for a user no conversion has.
//
// Every frame's scripts find no WebSocket and no workers (a worker could open one), and
// whatever a document's scripts insert deeper than documentDepthLimit is taken out again
// before the web engine lays it out; limitReached() says so.
class WebPage final : public QWebPage
{
    Q_OBJECT

public:
    explicit WebPage(QObject *parent = nullptr);

    bool extension(Extension extension, const ExtensionOption *option,
                   ExtensionReturn *output) override;
    bool supportsExtension(Extension extension) const override;

Q_SIGNALS:
    // A document's script reached one of the page's limits; `what` says which, for the log.
    void limitReached(const QString &what);

protected:
    void javaScriptAlert(QWebFrame *frame, const QString &message) override;
    bool javaScriptConfirm(QWebFrame *frame, const QString &message) override;
    bool javaScriptPrompt(QWebFrame *frame, const QString &message, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    void guardFrame(QWebFrame *frame);

    // Starts the guard's reports, so a document cannot pass its own messages off as one.
    const QString m_reportMark;
};

} // namespace quirex::engine
