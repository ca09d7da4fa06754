#pragma once

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

// Decides which requests of a document the web engine may make.
//
// A document from a local file reaches local files in its own folder and below as they are;
// any other local file only opaquely (shown as a style sheet, image, font or frame, never
// readable by a script). It may fetch from the network but send nothing there: only GET and
// HEAD go out. A document from the network reaches no local file at all.
//
// Untrusted mode is stricter: no network request at all (data: stays allowed), and local files
// only from the document's folder and below. The address the caller loads is always allowed.
class ResourcePolicy final
{
public:
    void setUntrusted(bool untrusted) { m_untrusted = untrusted; }
    bool isUntrusted() const { return m_untrusted; }

    // Starts a new document: forgets the addresses allowed for the previous one.
    void setDocument(const DocumentSource &source);
    const DocumentSource &document() const { return m_document; }

    // Allows `url` whatever the rules: the document the caller asked for, and the addresses
    // its server redirects it to.
    void allowEntry(const QUrl &url);

    ResourceDecision decide(const QUrl &url, QNetworkAccessManager::Operation operation) const;

    // The file system path a file: or opaque address names, cleaned; empty for others.
    static QString localPath(const QUrl &url);
    // True when `path` names an existing file that is not a regular file (folder, device,
    // pipe, socket): reading one could block the engine or never end.
    static bool isSpecialFile(const QString &path);

private:
    ResourceDecision decideLocal(const QUrl &url) const;
    bool isInsideDocumentFolder(const QString &path) const;

    bool m_untrusted = false;
    DocumentSource m_document;
    QSet<QUrl> m_entries;
};

// http, https and ftp: the schemes whose requests leave the machine.
bool isNetworkScheme(const QString &scheme);

} // namespace quirex::engine
