#pragma once

#include <QWebPage>

namespace quirex::engine
{

// The engine's web page. It refuses the error-page extension, so a load that
// fails leaves the frame as it is instead of showing the web engine's own
// error text, which would otherwise be printed into the output. Scripts'
// alert, confirm and prompt return at once (confirm and prompt as if
// cancelled): the default boxes would wait for a user no conversion has.
class WebPage final : public QWebPage
{
    Q_OBJECT

public:
    explicit WebPage(QObject *parent = nullptr);

    bool extension(Extension extension, const ExtensionOption *option,
                   ExtensionReturn *output) override;
    bool supportsExtension(Extension extension) const override;

protected:
    void javaScriptAlert(QWebFrame *frame, const QString &message) override;
    bool javaScriptConfirm(QWebFrame *frame, const QString &message) override;
    bool javaScriptPrompt(QWebFrame *frame, const QString &message, const QString &defaultValue,
                          QString *result) override;
};

} // namespace quirex::engine
