#include "webpageloader.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebFrame>
#include <QWebPage>

#include <functional>

namespace quirex::test
{

namespace
{

bool waitForLoad(QWebPage &page, const std::function<void()> &start, int timeoutMs)
{
    QEventLoop loop;
    bool finished = false;
    QObject::connect(
        page.mainFrame(), &QWebFrame::loadFinished, &loop,
        [&] {
            finished = true;
            loop.quit();
        },
        Qt::QueuedConnection);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    start();
    loop.exec();
    return finished;
}

} // namespace

bool loadHtml(QWebPage &page, const QString &html, const QUrl &baseUrl, int timeoutMs)
{
    return waitForLoad(
        page, [&] { page.mainFrame()->setHtml(html, baseUrl); }, timeoutMs);
}

bool loadBytes(QWebPage &page, const QByteArray &bytes, int timeoutMs)
{
    return waitForLoad(
        page,
        [&] {
            page.mainFrame()->setContent(bytes, QStringLiteral("text/html"),
                                         QUrl(QStringLiteral("file:///document.html")));
        },
        timeoutMs);
}

} // namespace quirex::test
