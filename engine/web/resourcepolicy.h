#pragma once

#include "localfile.h"

#include <QNetworkAccessManager>
#include <QSet>
#include <QString>
#include <QUrl>

namespace quirex::engine
{

// The scheme under which a local file is loaded opaquely (ResourceDecision::LoadOpaque).
inline const QString opaqueFileScheme = QStringLiteral("quirex-file");

// Where the loaded document came from; it decides what the document may reach.
struct DocumentSource {
    enum class Kind {
        None,      // a string without a base address
        LocalFile, // a file, or a string with a file: base address
        Network,   // an http, https or ftp address, or a string with such a base
    };
    Kind kind = Kind::None;
    // LocalFile: the folder of the document, symbolic links resolved.
    QString folder;

    // The source of a document at `documentUrl` (a file, a base address or a
    // web address); an empty or other address gives Kind::None.
    static DocumentSource fromUrl(const QUrl &documentUrl);
};

// What the engine does with one request of the loaded document.
enum class ResourceDecision {
    Load,       // as asked
    LoadOpaque, // a local file outside the document's folder: loaded under an address of its
                // own, so the document shows it but its scripts cannot read it
    Refuse,     // fails at once, as a missing resource would
};

// A decision and, for a local file, the file it was made on: the one to open.
struct ResourceVerdict {
    ResourceDecision decision = ResourceDecision::Refuse;
    LocalFile file; // Regular for a local file that may be loaded, Missing otherwise
};

// Decides which requests of a document the web engine may make.
//
// Only GET and HEAD are ever allowed, to the network and to local files alike: a document
// sends nothing anywhere. A document from a local file reaches local files in its own folder
// and below as they are; any other local file only opaquely (shown as a style sheet, image,
// font or frame, never readable by a script). It may fetch from the network. A document from
// the network reaches no local file at all. Local files are decided on by where the kernel
// leads (LocalFile: every link followed); only regular files are read.
//
// Untrusted mode is stricter: no network request at all (data: stays allowed), and local files
// only from the document's folder and below. The address the caller loads is always allowed,
// and where its server redirects it within its own origin (scheme, host and port).
class ResourcePolicy final
{
public:
    void setUntrusted(bool untrusted) { m_untrusted = untrusted; }
    bool isUntrusted() const { return m_untrusted; }

    // Starts a new document: forgets the addresses allowed for the previous one.
    void setDocument(const DocumentSource &source);
    const DocumentSource &document() const { return m_document; }

    // Allows `url` whatever the rules (but the method and the kind of file): the document the
    // caller asked for. The first entry of a document is its origin for redirects.
    void allowEntry(const QUrl &url);
    // Untrusted mode: allows `target`, where the server of the allowed address `from` sends
    // it, when it stays within the origin of the document's first entry. Returns whether it
    // was allowed.
    bool allowRedirect(const QUrl &from, const QUrl &target);

    ResourceVerdict decideRequest(const QUrl &url,
                                  QNetworkAccessManager::Operation operation) const;
    ResourceDecision decide(const QUrl &url, QNetworkAccessManager::Operation operation) const
    {
        return decideRequest(url, operation).decision;
    }

    // The file system path a file: or opaque address names, decoded once and not cleaned
    // (the kernel, not the text, decides what ".." means); empty for other addresses.
    static QString localPath(const QUrl &url);

private:
    ResourceVerdict decideLocal(const QUrl &url) const;
    bool isEntry(const QUrl &url) const;
    bool isInsideDocumentFolder(const QString &realPath) const;

    bool m_untrusted = false;
    DocumentSource m_document;
    QSet<QUrl> m_entries;       // network and other addresses, as entryKey() gives them
    QSet<QString> m_entryFiles; // local entries by their real path
    QUrl m_origin;              // scheme, host and port of the first network entry
};

// http, https and ftp: the schemes whose requests leave the machine.
bool isNetworkScheme(const QString &scheme);

} // namespace quirex::engine
