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
}

void ResourcePolicy::allowEntry(const QUrl &url)
{
    m_entries.insert(entryKey(url));
}

QString ResourcePolicy::localPath(const QUrl &url)
{
    QString path;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().compare(opaqueFileScheme, Qt::CaseInsensitive) == 0)
        path = url.path();
    if (path.isEmpty() || QDir::isRelativePath(path))
        return {};
    return QDir::cleanPath(path);
}

bool ResourcePolicy::isSpecialFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

bool ResourcePolicy::isInsideDocumentFolder(const QString &path) const
{
    if (m_document.kind != DocumentSource::Kind::LocalFile || m_document.folder.isEmpty())
        return false;
    // Symbolic links are followed first, so a link in the folder does not lead out of it.
    const QString real = canonicalOrClean(path);
    const QString &folder = m_document.folder;
    if (folder == QLatin1String("/"))
        return true;
    return real.startsWith(folder) &&
           (real.size() == folder.size() || real.at(folder.size()) == QLatin1Char('/'));
}

ResourceDecision ResourcePolicy::decideLocal(const QUrl &url) const
{
    if (m_document.kind == DocumentSource::Kind::Network)
        return ResourceDecision::Refuse;
    const QString path = localPath(url);
    if (path.isEmpty() || isSpecialFile(path))
        return ResourceDecision::Refuse;
    const bool opaque = !url.isLocalFile();
    if (!opaque && isInsideDocumentFolder(path))
        return ResourceDecision::Load;
    return m_untrusted ? ResourceDecision::Refuse : ResourceDecision::LoadOpaque;
}

ResourceDecision ResourcePolicy::decide(const QUrl &url,
                                        QNetworkAccessManager::Operation operation) const
{
    if (!m_entries.isEmpty() && m_entries.contains(entryKey(url))) {
        const QString path = localPath(url);
        return !path.isEmpty() && isSpecialFile(path) ? ResourceDecision::Refuse
                                                      : ResourceDecision::Load;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file") || scheme == opaqueFileScheme)
        return decideLocal(url);
    if (isNetworkScheme(scheme)) {
        if (m_untrusted)
            return ResourceDecision::Refuse;
        if (m_document.kind == DocumentSource::Kind::Network)
            return ResourceDecision::Load;
        const bool fetch = operation == QNetworkAccessManager::GetOperation ||
                           operation == QNetworkAccessManager::HeadOperation;
        return fetch ? ResourceDecision::Load : ResourceDecision::Refuse;
    }
    if (scheme == QLatin1String("data") || scheme == QLatin1String("about"))
        return ResourceDecision::Load;
    return m_untrusted ? ResourceDecision::Refuse : ResourceDecision::Load;
}

} // namespace quirex::engine
