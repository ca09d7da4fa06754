// Local file decisions against an oracle that walks each path itself, the way the kernel
// does: random trees of folders, files, pipes and symbolic links, random request paths.
#include "localfile.h"
#include "resourcepolicy.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

using quirex::engine::DocumentSource;
using quirex::engine::LocalFile;
using quirex::engine::openResolved;
using quirex::engine::ResourceDecision;
using quirex::engine::ResourcePolicy;
using quirex::test::makeFolder;

namespace
{

// The real path of `path` by walking it one name at a time: a link's target replaces the
// names walked so far (or is walked from the link's folder), ".." leaves the folder reached.
// Empty when a name is missing, a link loops or a non-folder is walked through.
QString oracleResolve(const QString &path)
{
    QStringList pending = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // A path ending in "/" names a folder.
    if (path.endsWith(QLatin1Char('/')))
        pending << QStringLiteral(".");
    QStringList done;
    int links = 0;
    while (!pending.isEmpty()) {
        const QString name = pending.takeFirst();
        if (name == QLatin1String(".") || name == QLatin1String("..")) {
            // Only a folder has "." and "..".
            struct stat status;
            const QString here = QLatin1Char('/') + done.join(QLatin1Char('/'));
            if (::stat(QFile::encodeName(here).constData(), &status) != 0 ||
                !S_ISDIR(status.st_mode))
                return {};
        }
        if (name == QLatin1String("."))
            continue;
        if (name == QLatin1String("..")) {
            if (!done.isEmpty())
                done.removeLast();
            continue;
        }
        const QString here = QLatin1Char('/') + (done + QStringList{name}).join(QLatin1Char('/'));
        struct stat status;
        if (::lstat(QFile::encodeName(here).constData(), &status) != 0)
            return {};
        if (S_ISLNK(status.st_mode)) {
            if (++links > 40)
                return {};
            QByteArray buffer(4096, 0);
            const ssize_t length =
                ::readlink(QFile::encodeName(here).constData(), buffer.data(), buffer.size());
            buffer.resize(length < 0 ? 0 : int(length));
            const QString target = QFile::decodeName(buffer);
            const QStringList parts = target.split(QLatin1Char('/'), Qt::SkipEmptyParts);
            if (target.startsWith(QLatin1Char('/')))
                done.clear();
            pending = parts + pending;
            continue;
        }
        if (!pending.isEmpty() && !S_ISDIR(status.st_mode))
            return {};
        done << name;
    }
    return QLatin1Char('/') + done.join(QLatin1Char('/'));
}

bool isRegularFile(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

struct Tree {
    QString root;        // holds doc/ (the document's folder) and outside/
    QStringList folders; // relative to root, "doc" and "outside" first
    QStringList names;   // every name made, relative to root
};

// Folders, files (each holding its own real path), pipes and links (to inside, outside,
// "/", the root, loops) under root/doc and root/outside.
Tree randomTree(QRandomGenerator &random, const QString &root)
{
    Tree tree{root, {QStringLiteral("doc"), QStringLiteral("outside")}, {}};
    QDir(root).mkpath(QStringLiteral("doc"));
    QDir(root).mkpath(QStringLiteral("outside"));
    // Always a file on each side and links that climb, so every tree has something to reach.
    for (const char *name : {"doc/inside.txt", "outside/secret.txt"}) {
        QFile file(root + QLatin1Char('/') + QLatin1String(name));
        file.open(QIODevice::WriteOnly);
        file.write(QFileInfo(file.fileName()).absoluteFilePath().toUtf8());
        tree.names << QString::fromLatin1(name);
    }
    ::symlink("..", QFile::encodeName(root + QStringLiteral("/doc/up")).constData());
    ::symlink("/", QFile::encodeName(root + QStringLiteral("/doc/root")).constData());
    tree.names << QStringLiteral("doc/up") << QStringLiteral("doc/root");
    const auto pickFolder = [&] { return tree.folders.at(random.bounded(tree.folders.size())); };
    for (int i = 0; i < 24; ++i) {
        const QString name = pickFolder() + QStringLiteral("/n%1").arg(i);
        const QString full = root + QLatin1Char('/') + name;
        switch (random.bounded(5)) {
        case 0:
            QDir(root).mkpath(name);
            tree.folders << name;
            break;
        case 1: {
            QFile file(full);
            file.open(QIODevice::WriteOnly);
            file.write(QFileInfo(full).absoluteFilePath().toUtf8());
            break;
        }
        case 2:
            ::mkfifo(QFile::encodeName(full).constData(), 0600);
            break;
        default: {
            // A link to an earlier name, a folder, "/", or itself (a loop), relative or not.
            QString target;
            const int kind = random.bounded(5);
            if (kind == 0)
                target = QStringLiteral("/");
            else if (kind == 1)
                target = name.section(QLatin1Char('/'), -1); // itself
            else if (!tree.names.isEmpty() && kind == 2)
                target = root + QLatin1Char('/') + tree.names.at(random.bounded(tree.names.size()));
            else {
                const int ups = name.count(QLatin1Char('/'));
                target = QStringLiteral("../").repeated(ups) + pickFolder();
            }
            ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(full).constData());
            break;
        }
        }
        tree.names << name;
    }
    return tree;
}

// A request path from the document's folder: names of the tree, "..", ".", "" and encoded
// forms the address carries.
QString randomRequest(QRandomGenerator &random, const Tree &tree)
{
    static const char *const steps[] = {"..", "%2e%2e", "%2E%2e", ".", "%2e", "", "doc", "outside"};
    QStringList parts;
    const int count = 1 + random.bounded(4);
    for (int i = 0; i < count; ++i) {
        if (random.bounded(2) == 0)
            parts << QString::fromLatin1(steps[random.bounded(int(std::size(steps)))]);
        else
            parts << tree.names.at(random.bounded(tree.names.size())).section(QLatin1Char('/'), -1);
    }
    QString request =
        parts.join(random.bounded(6) == 0 ? QStringLiteral("%2f") : QStringLiteral("/"));
    if (random.bounded(8) == 0)
        request.replace(QLatin1Char('/'), QStringLiteral("//"));
    return request;
}

} // namespace

TEST(LocalFileDecision, EveryRequestIsDecidedOnTheFileTheKernelWouldOpen)
{
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int served = 0, refusedOutside = 0;
    for (int round = 0; round < 12; ++round) {
        const QString root = QDir(makeFolder(QStringLiteral("tree%1").arg(round))).canonicalPath();
        const Tree tree = randomTree(random, root);
        const QString folder = root + QStringLiteral("/doc");
        const QUrl page = QUrl::fromLocalFile(folder + QStringLiteral("/page.html"));
        for (const bool untrusted : {false, true}) {
            ResourcePolicy policy;
            policy.setUntrusted(untrusted);
            policy.setDocument(DocumentSource::fromUrl(page));
            // The attacks by name, then random ones.
            const QStringList attacks = {
                QStringLiteral("up/outside/secret.txt"),
                QStringLiteral("root/%2e%2e") + root + QStringLiteral("/outside/secret.txt"),
                QStringLiteral("up/%2e%2e/") + QFileInfo(root).fileName() +
                    QStringLiteral("/outside/secret.txt"),
                QStringLiteral("inside.txt"),
            };
            for (int i = 0; i < 200; ++i) {
                const QString request =
                    i < attacks.size() ? attacks.at(i) : randomRequest(random, tree);
                const QUrl url = page.resolved(QUrl(request));
                const QString real = oracleResolve(url.toLocalFile());
                const bool regular = !real.isEmpty() && isRegularFile(real);
                const bool inside = real.startsWith(folder + QLatin1Char('/'));
                const auto verdict = policy.decideRequest(url, QNetworkAccessManager::GetOperation);
                const std::string where = "seed " + std::to_string(seed) + " request " +
                                          request.toStdString() + " real " + real.toStdString();
                if (!regular) {
                    EXPECT_EQ(verdict.decision, ResourceDecision::Refuse) << where;
                } else if (inside) {
                    EXPECT_EQ(verdict.decision, ResourceDecision::Load) << where;
                    ++served;
                } else {
                    EXPECT_EQ(verdict.decision,
                              untrusted ? ResourceDecision::Refuse : ResourceDecision::LoadOpaque)
                        << where;
                    refusedOutside += untrusted;
                }
                if (verdict.decision == ResourceDecision::Refuse)
                    continue;
                // What is opened is what was decided on: the oracle's file, read whole.
                EXPECT_EQ(verdict.file.path, real) << where;
                const int descriptor = openResolved(verdict.file);
                ASSERT_GE(descriptor, 0) << where;
                QFile file;
                ASSERT_TRUE(
                    file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
                EXPECT_EQ(QString::fromUtf8(file.readAll()), real) << where;
            }
        }
    }
    // The trees are random, but not so poor that nothing was reached.
    EXPECT_GT(served, 0) << "seed " << seed;
    EXPECT_GT(refusedOutside, 0) << "seed " << seed;
}

TEST(LocalFileDecision, AFileSwappedAfterTheDecisionIsNotOpened)
{
    const QString folder = QDir(makeFolder(QStringLiteral("swap"))).canonicalPath();
    const QString path = folder + QStringLiteral("/page.css");
    QFile(path).open(QIODevice::WriteOnly);
    const LocalFile decided = LocalFile::resolve(path);
    ASSERT_TRUE(decided.isRegular());
    // Replaced by a pipe, which would block a plain open(), and then by a link.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(openResolved(decided), -1);
    ASSERT_TRUE(QFile::remove(path));
    QFile(folder + QStringLiteral("/other")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("/other"), path));
    EXPECT_EQ(openResolved(decided), -1);
    // Names that cannot be a file.
    EXPECT_EQ(LocalFile::resolve(QStringLiteral("relative/name")).kind, LocalFile::Kind::Missing);
    EXPECT_EQ(LocalFile::resolve(folder + QChar(0) + QStringLiteral("x")).kind,
              LocalFile::Kind::Missing);
    EXPECT_EQ(LocalFile::resolve(folder).kind, LocalFile::Kind::Other);
}
