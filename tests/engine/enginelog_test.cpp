#include "quirex.h"
#include "testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

namespace
{

QString logPath()
{
    return qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/quirex.log");
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(EngineLog, StartsWithTheCreationTimeAndIgnoresSetLogFile)
{
    {
        QUIREX engine;
        QMetaObject::invokeMethod(&engine, "SetLogFile",
                                  Q_ARG(QString, quirex::test::scratchFolder() + "/other.log"));
    }
    EXPECT_FALSE(QFile::exists(quirex::test::scratchFolder() + "/other.log"));
    const QByteArray log = readAll(logPath());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\n$"))
                    .match(QString::fromLatin1(log))
                    .hasMatch())
        << log.constData();
}

TEST(EngineLog, EveryObjectStartsTheLogAfresh)
{
    QFile::remove(logPath());
    QFile stale(logPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("old line\nold line\n");
    stale.close();
    {
        QUIREX engine;
    }
    EXPECT_FALSE(readAll(logPath()).contains("old line"));
}

TEST(EngineLog, MissingFolderCostsOnlyTheLog)
{
    const QString missing = quirex::test::scratchFolder() + QStringLiteral("/no/such/folder");
    const QByteArray saved = qgetenv("QUIREX_LOG_DIR");
    qputenv("QUIREX_LOG_DIR", missing.toLocal8Bit());
    {
        QUIREX engine;
    }
    qputenv("QUIREX_LOG_DIR", saved);
    EXPECT_FALSE(QDir(missing).exists());
}

TEST(EngineLog, DoesNotFollowASymbolicLink)
{
    const QString victim = quirex::test::writeFile(QStringLiteral("victim.txt"), "precious\n");
    QFile::remove(logPath());
    ASSERT_TRUE(QFile::link(victim, logPath()));
    {
        QUIREX engine;
    }
    EXPECT_EQ(readAll(victim), QByteArray("precious\n"));
    QFile::remove(logPath());
}
