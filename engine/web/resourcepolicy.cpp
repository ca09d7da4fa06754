#include "resourcepolicy.h"

#include <QDir>
#include <QFileInfo>

namespace quirex::engine
{

namespace
{

// Addresses the caller loads are compared without what the web engine may add or drop.
QUrl entryKey(const QUrl &url)
{
    return url.adjusted(QUrl::NormalizePathSegments | QUrl::StripTrailingSlash |
                        QUrl::RemoveFragment);
}

QString canonicalOrClean(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

int defaultPort(const QString &scheme)
{
    if (scheme == QLatin1String("http"))
        return 80;
    if (scheme == QLatin1String("https"))
        return 443;
    if (scheme == QLatin1String("ftp"))
        return 21;
    return -1;
}

// Scheme, host and port: what a redirect of an untrusted document may not leave.
QUrl originOf(const QUrl &url)
{
    QUrl origin;
    const QString scheme = url.scheme().toLower();
    origin.setScheme(scheme);
    origin.setHost(url.host().toLower());
    origin.setPort(url.port(defaultPort(scheme)));
    return origin;
}

bool isFetch(QNetworkAccessManager::Operation operation)
{
    return operation == QNetworkAccessManager::GetOperation ||
           operation == QNetworkAccessManager::HeadOperation;
}

} // namespace

bool isNetworkScheme(const QString &scheme)
{
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("ftp"), Qt::CaseInsensitive) == 0;
}

DocumentSource DocumentSource::fromUrl(const QUrl &documentUrl)
{
    DocumentSource source;
    if (documentUrl.isLocalFile()) {
        const QString path = documentUrl.toLocalFile();
        if (path.isEmpty() || QDir::isRelativePath(path))
            return source;
        // A base address that ends with a slash names the folder itself.
        const QString folder = path.endsWith(QLatin1Char('/')) ? path : QFileInfo(path).path();
        source.kind = Kind::LocalFile;
        source.folder = canonicalOrClean(folder);
    } else if (isNetworkScheme(documentUrl.scheme())) {
        source.kind = Kind::Network;
    }
    return source;
}

void ResourcePolicy::setDocument(const DocumentSource &source)
{
    m_document = source;
    m_entries.clear();
    m_entryFiles.clear();
    m_origin.clear();
}

void ResourcePolicy::allowEntry(const QUrl &url)
{
    if (url.isLocalFile()) {
        const LocalFile file = LocalFile::resolve(localPath(url));
        if (file.isRegular())
            m_entryFiles.insert(file.path);
        return;
    }
    m_entries.insert(entryKey(url));
    if (m_origin.isEmpty() && isNetworkScheme(url.scheme()))
        m_origin = originOf(url);
}

bool ResourcePolicy::allowRedirect(const QUrl &from, const QUrl &target)
{
    if (!isEntry(from) || !isNetworkScheme(target.scheme()) || originOf(target) != m_origin)
        return false;
    m_entries.insert(entryKey(target));
    return true;
}

bool ResourcePolicy::isEntry(const QUrl &url) const
{
    return !m_entries.isEmpty() && m_entries.contains(entryKey(url));
}

QString ResourcePolicy::localPath(const QUrl &url)
{
    QString path;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().compare(opaqueFileScheme, Qt::CaseInsensitive) == 0)
        path = url.path(QUrl::FullyDecoded);
    if (path.isEmpty() || QDir::isRelativePath(path))
        return {};
    return path;
}

bool ResourcePolicy::isInsideDocumentFolder(const QString &realPath) const
{
    if (m_document.kind != DocumentSource::Kind::LocalFile || m_document.folder.isEmpty())
        return false;
    const QString &folder = m_document.folder;
    if (folder == QLatin1String("/"))
        return true;
    return realPath.startsWith(folder) &&
           (realPath.size() == folder.size() || realPath.at(folder.size()) == QLatin1Char('/'));
}

ResourceVerdict ResourcePolicy::decideLocal(const QUrl &url) const
{
    ResourceVerdict verdict;
    LocalFile file = LocalFile::resolve(localPath(url));
    if (!file.isRegular())
        return verdict;
    const bool opaque = !url.isLocalFile();
    if (!opaque && m_entryFiles.contains(file.path))
        verdict.decision = ResourceDecision::Load;
    else if (m_document.kind == DocumentSource::Kind::Network)
        return verdict;
    else if (!opaque && isInsideDocumentFolder(file.path))
        verdict.decision = ResourceDecision::Load;
    else if (!m_untrusted)
        verdict.decision = ResourceDecision::LoadOpaque;
    else
        return verdict;
    verdict.file = std::move(file);
    return verdict;
}

ResourceVerdict ResourcePolicy::decideRequest(const QUrl &url,
                                              QNetworkAccessManager::Operation operation) const
{
    ResourceVerdict verdict;
    if (!isFetch(operation))
        return verdict;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file") || scheme == opaqueFileScheme)
        return decideLocal(url);
    if (isNetworkScheme(scheme)) {
        if (!m_untrusted || isEntry(url))
            verdict.decision = ResourceDecision::Load;
        return verdict;
    }
    if (scheme == QLatin1String("data") || scheme == QLatin1String("about") || !m_untrusted)
        verdict.decision = ResourceDecision::Load;
    else if (isEntry(url))
        verdict.decision = ResourceDecision::Load;
    return verdict;
}

} // namespace quirex::engine
