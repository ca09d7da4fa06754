#pragma once

#include <QString>
#include <QUrl>

class QWebPage;

namespace quirex::test
{

// Gives `html` to the page's main frame and waits (at most 20 s) until the
// frame has finished loading. The finish may come inside setHtml itself, so
// it is received through a queued connection.
bool loadHtml(QWebPage &page, const QString &html, const QUrl &baseUrl = QUrl());

} // namespace quirex::test
