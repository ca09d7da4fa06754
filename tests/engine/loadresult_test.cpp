// What the engine tells its caller through LastFailure: why a load failed,
// and whether EndDoc put the document in place; and that an object released
// without EndDoc leaves the file at its output path as it was.
#include "quirex.h"
#include "recordingserver.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QVariant>

#include <gtest/gtest.h>

#include <sys/stat.h>

using quirex::test::RecordingServer;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

TEST(LoadResult, EveryKindOfFailedLoadSaysWhy)
{
    RecordingServer server;
    server.serve(QStringLiteral("/page.html"), "text/html", "<p>Served</p>");
    server.redirect(QStringLiteral("/loop.html"), "/loop.html");
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    closed.close();
    // Takes connections (the system does) and never answers them.
    QTcpServer stalling;
    ASSERT_TRUE(stalling.listen(QHostAddress::LocalHost));

    QUIREX engine;
    engine.setProperty("PageTimeout", 2);
    engine.LoadURL(server.url(QStringLiteral("/page.html")));
    EXPECT_EQ(engine.LastFailure(), QString());

    const struct {
        QString url;
        const char *reason;
    } cases[] = {
        {server.url(QStringLiteral("/missing.html")), "HTTP status 404"},
        {server.url(QStringLiteral("/loop.html")), "/loop.html"},
        {refused, "127.0.0.1"},
        {QStringLiteral("http://127.0.0.1:%1/").arg(stalling.serverPort()),
         "PageTimeout (2000 ms)"},
        {QStringLiteral("file:relative.html"), "could not be loaded"},
    };
    for (const auto &c : cases) {
        engine.LoadURL(c.url);
        EXPECT_TRUE(engine.LastFailure().contains(QLatin1String(c.reason)))
            << c.url.toStdString() << ": " << engine.LastFailure().toStdString();
    }
    // A good load after a failed one reads as success again; so does a string.
    engine.LoadHTMLString(QStringLiteral("<p>Text</p>"));
    EXPECT_EQ(engine.LastFailure(), QString());
    engine.LoadHTMLFile(scratchFolder() + QStringLiteral("/no-such-file.html"));
    EXPECT_FALSE(engine.LastFailure().isEmpty());
}

TEST(LoadResult, WithoutEndDocTheOldFileStaysAndEndDocSaysWhetherItWrote)
{
    const QByteArray old = "%PDF-1.4 the file that was there\n";
    const QString target = writeFile(QStringLiteral("out/keep.pdf"), old);
    const QString folder = scratchFolder() + QStringLiteral("/out");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 06755), 0);
    {
        QUIREX engine;
        engine.setProperty("OutputFileName", target);
        engine.BeginDoc();
        engine.LoadHTMLString(QStringLiteral("<p>Abandoned</p>"));
        engine.ConvertAll();
        // Released here without EndDoc.
    }
    EXPECT_EQ(readAll(target), old);
    EXPECT_EQ(namesIn(folder), QStringList{QStringLiteral("keep.pdf")});

    QUIREX engine;
    engine.setProperty("OutputFileName", target);
    engine.BeginDoc();
    engine.LoadHTMLString(QStringLiteral("<p>Written</p>"));
    engine.ConvertAll();
    engine.EndDoc();
    EXPECT_EQ(engine.LastFailure(), QString());
    EXPECT_TRUE(readAll(target).startsWith("%PDF"));
    EXPECT_NE(readAll(target), old);
    struct stat info {
    };
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u) << "the mode is kept, the set-id bits are not";

    // A folder at the output path, a missing folder: nothing put in place, and why.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("x.pdf")));
    for (const QString &path :
         {folder + QStringLiteral("/x.pdf"), folder + QStringLiteral("/none/a.pdf")}) {
        engine.setProperty("OutputFileName", path);
        engine.BeginDoc();
        engine.LoadHTMLString(QStringLiteral("<p>Nowhere</p>"));
        engine.ConvertAll();
        engine.EndDoc();
        EXPECT_FALSE(engine.LastFailure().isEmpty()) << path.toStdString();
        EXPECT_TRUE(engine.LastFailure().contains(path)) << engine.LastFailure().toStdString();
    }
    EXPECT_EQ(namesIn(folder), (QStringList{QStringLiteral("keep.pdf"), QStringLiteral("x.pdf")}));
}
