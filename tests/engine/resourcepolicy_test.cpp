#include "resourcepolicy.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using quirex::engine::DocumentSource;
using quirex::engine::ResourceDecision;
using quirex::engine::ResourcePolicy;
using quirex::test::scratchFolder;
using quirex::test::writeFile;
using Operation = QNetworkAccessManager::Operation;

namespace
{

constexpr Operation Get = QNetworkAccessManager::GetOperation;
constexpr Operation Post = QNetworkAccessManager::PostOperation;

struct Case {
    const char *address; // a relative one is taken below the scratch folder
    Operation operation;
    ResourceDecision standard;
    ResourceDecision untrusted;
};

QUrl address(const char *text)
{
    const QString value = QString::fromUtf8(text);
    if (value.contains(QLatin1Char(':')))
        return QUrl(value);
    return QUrl::fromLocalFile(scratchFolder() + QLatin1Char('/') + value);
}

} // namespace

TEST(ResourcePolicy, DecidesByTheDocumentsFolderTheSchemeAndTheMode)
{
    writeFile(QStringLiteral("doc/page.html"), "<p>x</p>");
    writeFile(QStringLiteral("doc/sub/data.txt"), "x");
    writeFile(QStringLiteral("doc-sibling/data.txt"), "x");
    writeFile(QStringLiteral("secret.txt"), "x");
    ASSERT_TRUE(QFile::link(scratchFolder() + QStringLiteral("/secret.txt"),
                            scratchFolder() + QStringLiteral("/doc/escape.txt")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(scratchFolder() + QStringLiteral("/doc/pipe")).constData(),
                       0600),
              0);

    using D = ResourceDecision;
    const Case cases[] = {
        {"doc/sub/data.txt", Get, D::Load, D::Load},
        {"doc/missing.txt", Get, D::Refuse, D::Refuse}, // nothing to decide on
        {"doc/../secret.txt", Get, D::LoadOpaque, D::Refuse},
        {"doc-sibling/data.txt", Get, D::LoadOpaque, D::Refuse}, // same prefix, other folder
        {"doc/escape.txt", Get, D::LoadOpaque, D::Refuse},       // a link leading out
        {"doc/pipe", Get, D::Refuse, D::Refuse},
        {"doc/sub", Get, D::Refuse, D::Refuse},
        {"file:///etc/passwd", Get, D::LoadOpaque, D::Refuse},
        {"quirex-file://anything/etc/passwd", Get, D::LoadOpaque, D::Refuse},
        {"http://127.0.0.1/image.png", Get, D::Load, D::Refuse},
        {"https://example.org/a.css", QNetworkAccessManager::HeadOperation, D::Load, D::Refuse},
        {"ftp://example.org/a.css", Get, D::Load, D::Refuse},
        {"http://127.0.0.1/collect", Post, D::Refuse, D::Refuse},
        {"http://127.0.0.1/collect", QNetworkAccessManager::PutOperation, D::Refuse, D::Refuse},
        {"data:text/plain,x", Get, D::Load, D::Load},
        {"qrc:/resource", Get, D::Load, D::Refuse},
    };

    const QUrl page = address("doc/page.html");
    for (const bool untrusted : {false, true}) {
        ResourcePolicy policy;
        policy.setUntrusted(untrusted);
        policy.setDocument(DocumentSource::fromUrl(page));
        policy.allowEntry(page);
        EXPECT_EQ(policy.document().folder, QDir(scratchFolder()).canonicalPath() + "/doc");
        EXPECT_EQ(policy.decide(page, Get), D::Load);
        for (const Case &c : cases)
            EXPECT_EQ(policy.decide(address(c.address), c.operation),
                      untrusted ? c.untrusted : c.standard)
                << c.address << (untrusted ? " untrusted" : " standard");
    }
}

TEST(ResourcePolicy, DocumentsFromTheNetworkReachNoLocalFile)
{
    writeFile(QStringLiteral("data.txt"), "x");
    ResourcePolicy policy;
    const QUrl page(QStringLiteral("http://127.0.0.1:8080/docs/page.html"));
    policy.setDocument(DocumentSource::fromUrl(page));
    EXPECT_EQ(policy.document().kind, DocumentSource::Kind::Network);
    EXPECT_EQ(policy.decide(address("data.txt"), Get), ResourceDecision::Refuse);
    EXPECT_EQ(policy.decide(QUrl(QStringLiteral("quirex-file://x/etc/passwd")), Get),
              ResourceDecision::Refuse);
    // A web page fetches from the web, and sends nothing there either.
    EXPECT_EQ(policy.decide(QUrl(QStringLiteral("http://127.0.0.1:8080/api")), Get),
              ResourceDecision::Load);
    EXPECT_EQ(policy.decide(QUrl(QStringLiteral("http://127.0.0.1:8080/api")), Post),
              ResourceDecision::Refuse);
    EXPECT_EQ(policy.decide(QUrl(QStringLiteral("http://127.0.0.1:8080/api")),
                            QNetworkAccessManager::CustomOperation),
              ResourceDecision::Refuse);

    // Untrusted: the address the caller loads, and nothing else on the network.
    policy.setUntrusted(true);
    policy.allowEntry(page);
    EXPECT_EQ(policy.decide(QUrl(QStringLiteral("http://127.0.0.1:8080/docs/page.html#top")), Get),
              ResourceDecision::Load);
    EXPECT_EQ(policy.decide(QUrl(QStringLiteral("http://127.0.0.1:8080/docs/other.html")), Get),
              ResourceDecision::Refuse);

    // A new document forgets the old one's address.
    policy.setDocument(DocumentSource::fromUrl(QUrl()));
    EXPECT_EQ(policy.document().kind, DocumentSource::Kind::None);
    EXPECT_EQ(policy.decide(page, Get), ResourceDecision::Refuse);
}

TEST(ResourcePolicy, AFileBaseAddressNamesTheFolderOfAString)
{
    const QString folder = QDir(scratchFolder()).canonicalPath();
    EXPECT_EQ(DocumentSource::fromUrl(QUrl::fromLocalFile(folder + "/")).folder, folder);
    EXPECT_EQ(DocumentSource::fromUrl(QUrl::fromLocalFile(folder + "/page.html")).folder, folder);
    EXPECT_EQ(DocumentSource::fromUrl(QUrl(QStringLiteral("file:relative.html"))).kind,
              DocumentSource::Kind::None);
}
