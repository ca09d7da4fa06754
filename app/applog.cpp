#include "applog.h"

#include "logfolder.h"

#include <QDateTime>
#include <QFile>

namespace quirex::app
{

namespace
{
const QLatin1String kLogName("log.txt");
}

QByteArray logStartRecord(const QDateTime &utc)
{
    const QDateTime t = utc.toUTC();
    const QDate d = t.date();
    const QTime h = t.time();
    return QStringLiteral("%1.%2.%3  %4:%5:%6\r\n%7\r\n\r\n")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year())
        .arg(h.hour())
        .arg(h.minute())
        .arg(h.second())
        .arg(QStringLiteral("Start application"))
        .toUtf8();
}

void logStart()
{
    logStart(QDateTime::currentDateTimeUtc());
}

namespace
{
bool g_startsLog = true;
}

void setLogStartEnabled(bool on)
{
    g_startsLog = on;
}

void logStart(const QDateTime &utc)
{
    if (!g_startsLog)
        return;
    QFile file;
    if (!platform::openLogFile(file, kLogName, platform::LogOpenMode::Truncate))
        return;
    file.write(logStartRecord(utc));
}

void logLine(const QString &text)
{
    QFile file;
    if (!platform::openLogFile(file, kLogName, platform::LogOpenMode::AppendExisting))
        return;
    // One write per entry, so entries from two threads never interleave.
    file.write(text.toUtf8() + '\n');
}

} // namespace quirex::app
