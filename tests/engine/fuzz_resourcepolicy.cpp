// libFuzzer entry point for the decision on a document's request. The input is an address
// as the document writes it, taken relative to a page in a fixed tree of folders, files, a
// pipe and symbolic links (one to "/", one climbing out, one looping). Whatever the address,
// a file allowed as it is lies inside the document's folder, untrusted mode allows nothing
// outside it, and the file decided on is the one that opens.
#include "localfile.h"
#include "resourcepolicy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

using namespace quirex::engine;

namespace
{

struct Tree {
    QTemporaryDir scratch;
    QString root;
    QString folder;
    QUrl page;

    Tree()
    {
        root = QDir(scratch.path()).canonicalPath();
        folder = root + QStringLiteral("/doc");
        QDir(root).mkpath(QStringLiteral("doc/sub"));
        QDir(root).mkpath(QStringLiteral("outside"));
        for (const char *name : {"doc/page.html", "doc/sub/a.css", "outside/secret.txt"}) {
            QFile file(root + QLatin1Char('/') + QLatin1String(name));
            file.open(QIODevice::WriteOnly);
            file.write(name);
        }
        const auto link = [this](const char *target, const char *name) {
            ::symlink(target, QFile::encodeName(root + QLatin1Char('/') + QLatin1String(name)));
        };
        link("/", "doc/root");
        link("../outside", "doc/linkdir");
        link("../sub", "doc/sub/images");
        link("loop", "doc/loop");
        ::mkfifo(QFile::encodeName(root + QStringLiteral("/doc/pipe")).constData(), 0600);
        page = QUrl::fromLocalFile(folder + QStringLiteral("/page.html"));
    }
};

bool inside(const QString &path, const QString &folder)
{
    return path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Tree tree;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QUrl url = tree.page.resolved(QUrl(text, QUrl::TolerantMode));
    for (const bool untrusted : {false, true}) {
        ResourcePolicy policy;
        policy.setUntrusted(untrusted);
        policy.setDocument(DocumentSource::fromUrl(tree.page));
        policy.allowEntry(tree.page);
        const ResourceVerdict verdict =
            policy.decideRequest(url, QNetworkAccessManager::GetOperation);
        if (policy.decide(url, QNetworkAccessManager::PostOperation) != ResourceDecision::Refuse)
            std::abort();
        const bool local = url.isLocalFile() || url.scheme() == opaqueFileScheme;
        if (!local || verdict.decision == ResourceDecision::Refuse)
            continue;
        if (!verdict.file.isRegular() || !QFileInfo(verdict.file.path).isFile())
            std::abort();
        if (verdict.decision == ResourceDecision::Load && !inside(verdict.file.path, tree.folder))
            std::abort();
        if (untrusted && !inside(verdict.file.path, tree.folder))
            std::abort();
        const int descriptor = openResolved(verdict.file);
        if (descriptor < 0)
            std::abort();
        QFile opened;
        opened.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
        QFile byPath(verdict.file.path);
        byPath.open(QIODevice::ReadOnly);
        if (opened.read(4096) != byPath.read(4096))
            std::abort();
    }
    return 0;
}
