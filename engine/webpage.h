#pragma once

#include <QWebPage>

namespace quirex::engine {

// The engine's web page. It refuses the error-page extension, so a load that
// fails leaves the frame as it is instead of showing the web engine's own
// error text, which would otherwise be printed into the output.
class WebPage final : public QWebPage
{
    Q_OBJECT

public:
    explicit WebPage(QObject *parent = nullptr);

    bool extension(Extension extension, const ExtensionOption *option,
                   ExtensionReturn *output) override;
    bool supportsExtension(Extension extension) const override;
};

} // namespace quirex::engine
