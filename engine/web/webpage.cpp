#include "webpage.h"

namespace quirex::engine
{

WebPage::WebPage(QObject *parent)
    : QWebPage(parent)
{
}

bool WebPage::extension(Extension extension, const ExtensionOption *option, ExtensionReturn *output)
{
    if (extension == ErrorPageExtension)
        return false;
    return QWebPage::extension(extension, option, output);
}

bool WebPage::supportsExtension(Extension extension) const
{
    if (extension == ErrorPageExtension)
        return false;
    return QWebPage::supportsExtension(extension);
}

void WebPage::javaScriptAlert(QWebFrame *, const QString &)
{
}

bool WebPage::javaScriptConfirm(QWebFrame *, const QString &)
{
    return false;
}

bool WebPage::javaScriptPrompt(QWebFrame *, const QString &, const QString &, QString *)
{
    return false;
}

} // namespace quirex::engine
