#include "documentnetworkaccess.h"

#include "enginetrace.h"
#include "policyreplies.h"
#include "printmediareply.h"

#include <QNetworkReply>
#include <QUuid>
#include <QWebSecurityOrigin>

namespace quirex::engine
{

DocumentNetworkAccess::DocumentNetworkAccess(QObject *parent)
    : QNetworkAccessManager(parent)
{
    registerOpaqueFileScheme();
}

// Replies still open are deleted with the manager's base, after what counts them.
DocumentNetworkAccess::~DocumentNetworkAccess()
{
    for (const auto &watch : qAsConst(m_inFlight))
        for (const QMetaObject::Connection &connection : watch)
            disconnect(connection);
}

void DocumentNetworkAccess::settle(const QObject *reply)
{
    const auto found = m_inFlight.find(reply);
    if (found == m_inFlight.end())
        return;
    for (const QMetaObject::Connection &connection : *found)
        disconnect(connection);
    m_inFlight.erase(found);
}

void DocumentNetworkAccess::startDocument(const DocumentSource &source, const QUrl &entry)
{
    m_policy.setDocument(source);
    m_opaqueHosts.clear();
    m_entry = entry;
    if (!entry.isEmpty())
        m_policy.allowEntry(entry);
}

QNetworkReply *DocumentNetworkAccess::createRequest(Operation operation,
                                                    const QNetworkRequest &request,
                                                    QIODevice *outgoingData)
{
    QNetworkReply *reply = routeRequest(operation, request, outgoingData);
    const auto settled = [this, reply] { settle(reply); };
    m_inFlight.insert(reply, {connect(reply, &QNetworkReply::finished, this, settled),
                              connect(reply, &QObject::destroyed, this, settled)});
    return reply;
}

QNetworkReply *DocumentNetworkAccess::routeRequest(Operation operation,
                                                   const QNetworkRequest &request,
                                                   QIODevice *outgoingData)
{
    ResourceVerdict verdict = m_policy.decideRequest(request.url(), operation);
    switch (verdict.decision) {
    case ResourceDecision::Load: {
        // A local file is opened as it was decided on, never by its address again.
        if (verdict.file.isRegular())
            return styledForMedia(request,
                                  new LocalFileReply(request, operation, verdict.file, this));
        const QUrl &url = request.url();
        const bool ownOrigin = !m_requestHeaders.isEmpty() && isNetworkScheme(url.scheme()) &&
                               url.scheme() == m_entry.scheme() && url.host() == m_entry.host() &&
                               url.port() == m_entry.port();
        QNetworkRequest withHeaders = request;
        if (ownOrigin)
            for (const auto &header : m_requestHeaders)
                withHeaders.setRawHeader(header.first, header.second);
        QNetworkReply *reply =
            QNetworkAccessManager::createRequest(operation, withHeaders, outgoingData);
        if (m_policy.isUntrusted() && isNetworkScheme(request.url().scheme()))
            allowRedirectsOf(reply);
        return styledForMedia(request, reply);
    }
    case ResourceDecision::LoadOpaque:
        return styledForMedia(request, loadOpaque(operation, request, verdict.file));
    case ResourceDecision::Refuse:
        break;
    }
    QUIREX_TRACE() << "refused" << operation << request.url().toString();
    return ImmediateReply::refused(request, operation, this);
}

QNetworkReply *DocumentNetworkAccess::styledForMedia(const QNetworkRequest &request,
                                                     QNetworkReply *reply)
{
    if (!m_printMedia || !isStyleSheetRequest(request))
        return reply;
    return new PrintMediaReply(reply, this);
}

QNetworkReply *DocumentNetworkAccess::loadOpaque(Operation operation,
                                                 const QNetworkRequest &request,
                                                 const LocalFile &file)
{
    const QUrl url = request.url();
    // An opaque address is served only for the file it was made for; any other path under
    // it (a relative name in an opaque style sheet or frame) gets an address of its own.
    if (!url.isLocalFile() && m_opaqueHosts.value(url.host()) == file.path)
        return new LocalFileReply(request, operation, file, this);

    const QString host = QUuid::createUuid().toString(QUuid::Id128);
    m_opaqueHosts.insert(host, file.path);
    QUrl target;
    target.setScheme(opaqueFileScheme);
    target.setHost(host);
    target.setPath(file.path);
    target.setQuery(url.query());
    return ImmediateReply::redirected(request, operation, target, this);
}

void DocumentNetworkAccess::allowRedirectsOf(QNetworkReply *reply)
{
    // In untrusted mode only the caller's own address reaches the network, and where its
    // server moves it within the same origin; any other target is refused when requested.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (!target.isValid())
            return;
        const QUrl resolved = reply->url().resolved(target);
        if (!m_policy.allowRedirect(reply->url(), resolved))
            QUIREX_TRACE() << "redirect not followed" << resolved.toString();
    });
}

void registerOpaqueFileScheme()
{
    static const bool registered = [] {
        QWebSecurityOrigin::addLocalScheme(opaqueFileScheme);
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace quirex::engine
