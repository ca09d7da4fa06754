#pragma once

#include <QString>
#include <QUrl>

class QWebPage;

namespace quirex::test
{

// Loads `html` into the page's main frame and waits for loadFinished, which
// QtWebKit may emit inside setHtml() itself; hence the queued connection.
// Returns false when the load did not finish within `timeoutMs`.
bool loadHtml(QWebPage &page, const QString &html, const QUrl &baseUrl = QUrl(),
              int timeoutMs = 20000);

// Loads raw bytes as text/html without a declared character set, so the
// global default text encoding decides how they decode.
bool loadBytes(QWebPage &page, const QByteArray &bytes, int timeoutMs = 20000);

} // namespace quirex::test
