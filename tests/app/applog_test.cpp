#include "applog.h"

#include "testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

QString logPath()
{
    return qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/log.txt");
}

QByteArray logContents()
{
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QDateTime kStart(QDate(2026, 12, 7), QTime(3, 5, 9), Qt::UTC);

TEST(AppLog, StartRecordHasNoZeroPadding)
{
    EXPECT_EQ(logStartRecord(kStart), QByteArray("7.12.2026  3:5:9\r\nStart application\r\n\r\n"));
    // A local time is written as UTC.
    EXPECT_EQ(
        logStartRecord(QDateTime(QDate(2026, 1, 2), QTime(23, 59, 30), Qt::OffsetFromUTC, -3600)),
        QByteArray("3.1.2026  0:59:30\r\nStart application\r\n\r\n"));
}

TEST(AppLog, StartTruncatesAndLinesAppend)
{
    QFile old(logPath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("left over from the last run\n");
    old.close();

    logStart(kStart);
    logLine(QStringLiteral("CConverter::Convert\n"));
    logLine(QStringLiteral("strInFilePath : /home/u/%s%d.html\n"));
    logLine(QStringLiteral("ConvertQuirex"));
    EXPECT_EQ(logContents(), QByteArray("7.12.2026  3:5:9\r\nStart application\r\n\r\n"
                                        "CConverter::Convert\n\n"
                                        "strInFilePath : /home/u/%s%d.html\n\n"
                                        "ConvertQuirex\n"));
}

TEST(AppLog, EntriesAfterADeletedLogAreDropped)
{
    logStart(kStart);
    ASSERT_TRUE(QFile::remove(logPath()));
    logLine(QStringLiteral("InitPDF Begin"));
    EXPECT_FALSE(QFile::exists(logPath()));
}

TEST(AppLog, WithoutTheFolderThereIsNoLog)
{
    const QString folder = quirex::test::scratchFolder() + QStringLiteral("/no-such-folder");
    qputenv("QUIREX_LOG_DIR", QFile::encodeName(folder));
    logStart(kStart);
    logLine(QStringLiteral("ConvertFileList2Dir"));
    EXPECT_FALSE(QFile::exists(folder));
}

TEST(AppLog, NeverWritesThroughASymbolicLink)
{
    const QString victim = quirex::test::writeFile(QStringLiteral("victim.txt"), "precious");
    ASSERT_TRUE(QFile::link(victim, logPath()));
    logStart(kStart);
    logLine(QStringLiteral("ConvertQuirex"));
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("precious"));
}

} // namespace
