// The engine object's log, quirex.log in the log folder: a few lines about
// what went wrong, written at once; trace lines go to enginetrace.h instead.
#include "quirex.h"
#include "quirex_p.h"

#include "logfolder.h"

#include <QDateTime>

void QUIREXPrivate::openLog()
{
    if (!quirex::platform::openLogFile(logging.m_logFile, QStringLiteral("quirex.log"),
                                       quirex::platform::LogOpenMode::Truncate))
        return;
    m_writeLog(QDateTime::currentDateTime().toString(Qt::ISODate));
}

void QUIREXPrivate::closeLog()
{
    if (!logging.m_logFile.isOpen())
        return;
    logging.m_logFile.flush();
    logging.m_logFile.close();
}

void QUIREXPrivate::m_writeLog(const QString &text)
{
    QFile &file = logging.m_logFile;
    if (!file.isOpen())
        return;
    file.write(text.toLatin1());
    file.write("\n");
    // Lines are few; each reaches the disk at once, so a crash keeps them.
    file.flush();
}

void QUIREX::SetLogFile(const QString &sLogFileName)
{
    // The log stays where every user and script finds it.
    Q_UNUSED(sLogFileName);
}
