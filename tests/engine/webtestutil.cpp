#include "webtestutil.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebFrame>
#include <QWebPage>

namespace quirex::test
{

bool loadHtml(QWebPage &page, const QString &html, const QUrl &baseUrl)
{
    QEventLoop loop;
    bool finished = false;
    QObject::connect(
        page.mainFrame(), &QWebFrame::loadFinished, &loop,
        [&](bool) {
            finished = true;
            loop.quit();
        },
        Qt::QueuedConnection);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    page.mainFrame()->setHtml(html, baseUrl);
    loop.exec();
    return finished;
}

} // namespace quirex::test
