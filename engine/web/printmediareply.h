#pragma once

#include "settlingreply.h"
#include <QByteArray>

#include <QNetworkReply>

namespace quirex::engine
{

// `css` with the media lists of its @media and @import rules styled for
// print: the type "print" becomes "all" and "screen" a type that never
// matches (as applyPrintMedia() does in a loaded document). Comments,
// strings and the address of an @import are left as they are. Works on
// the bytes of any ASCII-compatible encoding.
QByteArray printMediaStyleSheet(const QByteArray &css);

// True when `request` asks for a style sheet: the web engine accepts
// "text/css" first for those, and a name ending in ".css" is one too.
bool isStyleSheetRequest(const QNetworkRequest &request);

// The reply of a style sheet that the web engine reads through
// printMediaStyleSheet(): takes `inner`'s body whole, and hands on its
// headers, attributes, error and body once `inner` has finished. Owns
// `inner`.
class PrintMediaReply final : public SettlingReply
{
    Q_OBJECT

public:
    PrintMediaReply(QNetworkReply *inner, QObject *parent = nullptr);
    ~PrintMediaReply() override;

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    void finishInner();

    QNetworkReply *m_inner;
    QByteArray m_body;
    qint64 m_read = 0;
    bool m_complete = false; // the body is rewritten and readable
};

} // namespace quirex::engine
