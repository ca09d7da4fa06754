#pragma once

#include "resourcepolicy.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QPair>
#include <QUrl>
#include <QVector>

#include <array>

namespace quirex::engine
{

// The network access of the engine's web page: every request of the loaded document passes
// ResourcePolicy. Refused requests fail at once. A local file that the document may show but
// not read is redirected to an opaque address of the file (scheme opaqueFileScheme, a host
// made for that one file), which the web engine treats as another origin: style sheets,
// images, fonts and frames still display, scripts of the document cannot read them, and
// scripts of such a frame cannot read any other file through it.
class DocumentNetworkAccess final : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit DocumentNetworkAccess(QObject *parent = nullptr);
    ~DocumentNetworkAccess() override;

    ResourcePolicy &policy() { return m_policy; }
    const ResourcePolicy &policy() const { return m_policy; }

    // Style sheets of the documents styled for print (see printMediaStyleSheet()).
    void setPrintMedia(bool on) { m_printMedia = on; }
    // Header lines ("Name: value") added to every http and https request for
    // the current document's own origin (scheme, host and port), never to
    // another site's.
    void setRequestHeaders(const QVector<QPair<QByteArray, QByteArray>> &headers)
    {
        m_requestHeaders = headers;
    }

    // Starts a new document from `source`; its own address `entry` is always allowed.
    void startDocument(const DocumentSource &source, const QUrl &entry);
    // Requests made and not yet answered.
    int repliesInFlight() const { return m_inFlight.size(); }

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    QNetworkReply *routeRequest(Operation operation, const QNetworkRequest &request,
                                QIODevice *outgoingData);
    QNetworkReply *loadOpaque(Operation operation, const QNetworkRequest &request,
                              const LocalFile &file);
    // Allows where `reply` (the caller's own address) redirects to within its origin.
    void allowRedirectsOf(QNetworkReply *reply);

    QNetworkReply *styledForMedia(const QNetworkRequest &request, QNetworkReply *reply);

    ResourcePolicy m_policy;
    bool m_printMedia = true;
    QVector<QPair<QByteArray, QByteArray>> m_requestHeaders;
    QUrl m_entry; // the current document's address, whose origin gets the headers
    QHash<QString, QString> m_opaqueHosts; // host -> the one file it serves
    void settle(const QObject *reply);
    // The replies not yet finished, with what watches them.
    QHash<const QObject *, std::array<QMetaObject::Connection, 2>> m_inFlight;
};

// Registers opaqueFileScheme with the web engine as a local scheme, once per process:
// documents from the network cannot show it.
void registerOpaqueFileScheme();

} // namespace quirex::engine
