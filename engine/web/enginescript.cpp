#include "enginescript.h"

#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

namespace quirex::engine
{

QVariant evaluateEngineScript(QWebFrame *frame, const QString &script)
{
    if (frame == nullptr)
        return {};
    QWebSettings *settings = frame->page()->settings();
    const bool enabled = settings->testAttribute(QWebSettings::JavascriptEnabled);
    if (!enabled)
        settings->setAttribute(QWebSettings::JavascriptEnabled, true);
    const QVariant answer = frame->evaluateJavaScript(script);
    if (!enabled)
        settings->setAttribute(QWebSettings::JavascriptEnabled, false);
    return answer;
}

} // namespace quirex::engine
