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

void DocumentNetworkAccess::startDocument(const DocumentSource &source, const QUrl &entry)
{
    m_policy.setDocument(source);
    m_opaqueHosts.clear();
    if (!entry.isEmpty())
        m_policy.allowEntry(entry);
}

QNetworkReply *DocumentNetworkAccess::createRequest(Operation operation,
                                                    const QNetworkRequest &request,
                                                    QIODevice *outgoingData)
{
    switch (m_policy.decide(request.url(), operation)) {
    case ResourceDecision::Load: {
        QNetworkReply *reply =
            QNetworkAccessManager::createRequest(operation, request, outgoingData);
        // In untrusted mode only the caller's own address reaches the network.
        if (m_policy.isUntrusted() && isNetworkScheme(request.url().scheme()))
            allowRedirectsOf(reply);
        return styledForMedia(request, reply);
    }
    case ResourceDecision::LoadOpaque:
        return styledForMedia(request, loadOpaque(operation, request));
    case ResourceDecision::Refuse:
        break;
    }
    QUIREX_TRACE() << "refused" << request.url().toString();
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
                                                 const QNetworkRequest &request)
{
    const QUrl url = request.url();
    const QString path = ResourcePolicy::localPath(url);
    // An opaque address is served only for the file it was made for; any other path under
    // it (a relative name in an opaque style sheet or frame) gets an address of its own.
    if (!url.isLocalFile() && m_opaqueHosts.value(url.host()) == path)
        return new LocalFileReply(request, operation, path, this);

    const QString host = QUuid::createUuid().toString(QUuid::Id128);
    m_opaqueHosts.insert(host, path);
    QUrl target;
    target.setScheme(opaqueFileScheme);
    target.setHost(host);
    target.setPath(path);
    target.setQuery(url.query());
    return ImmediateReply::redirected(request, operation, target, this);
}

void DocumentNetworkAccess::allowRedirectsOf(QNetworkReply *reply)
{
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (target.isValid())
            m_policy.allowEntry(reply->url().resolved(target));
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
