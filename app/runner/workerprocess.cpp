#include "workerprocess.h"

#include "workermain.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

namespace quirex::app
{

WorkerProcess::WorkerProcess(std::function<void()> wake)
    : m_wake(std::move(wake))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
        readReplies();
        m_wake();
    });
    QObject::connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                     [this](int, QProcess::ExitStatus) { m_wake(); });
}

WorkerProcess::~WorkerProcess()
{
    // Whoever was to be woken may be gone already.
    m_wake = [] {};
    if (m_process.state() != QProcess::NotRunning) {
        if (!m_jobs.isEmpty())
            beginEnding();
        else
            m_process.closeWriteChannel();
        finishEnding(2000);
    }
}

bool WorkerProcess::start(const QString &program, QString *error)
{
    m_process.start(program.isEmpty() ? QCoreApplication::applicationFilePath() : program,
                    {QLatin1String(kWorkerArgument)});
    if (!m_process.waitForStarted(10000)) {
        *error =
            QStringLiteral("no worker process could be started: %1").arg(m_process.errorString());
        return false;
    }
    return true;
}

bool WorkerProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

bool WorkerProcess::endedByEngineHangGuard() const
{
    // The engine's exit status for a document whose script or layout never let it go.
    constexpr int kHungDocumentExitStatus = 124;
    return m_process.state() == QProcess::NotRunning &&
           m_process.exitStatus() == QProcess::NormalExit &&
           m_process.exitCode() == kHungDocumentExitStatus;
}

QString WorkerProcess::exitDescription() const
{
    if (m_process.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("crashed (ended by a signal)");
    return QStringLiteral("exited with code %1").arg(m_process.exitCode());
}

void WorkerProcess::send(const WorkerRequest &request, int job)
{
    m_jobs.enqueue(job);
    ++m_documents;
    m_process.write(encodeRequest(request));
}

void WorkerProcess::readReplies()
{
    m_buffer += m_process.readAllStandardOutput();
    int end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        WorkerReply reply;
        if (!decodeReply(line, &reply)) {
            reply.result = -10;
            reply.reason = QStringLiteral("the worker process answered something unreadable");
        }
        m_replies.enqueue(reply);
    }
}

bool WorkerProcess::takeReply(WorkerReply *reply)
{
    readReplies();
    while (!m_replies.isEmpty()) {
        const WorkerReply next = m_replies.dequeue();
        // One reply per request: one that came after its job was dropped belongs to nobody.
        if (m_jobs.isEmpty())
            continue;
        *reply = next;
        m_jobs.dequeue();
        return true;
    }
    return false;
}

qint64 WorkerProcess::residentBytes() const
{
    const qint64 pid = processId();
    if (pid <= 0)
        return 0;
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE);
}

qint64 WorkerProcess::processId() const
{
    return isRunning() ? m_process.processId() : 0;
}

void WorkerProcess::beginEnding()
{
    m_jobs.clear();
    m_taking = false;
    m_endTimer.start();
    if (isRunning())
        m_process.terminate();
}

void WorkerProcess::finishEnding(int graceMs)
{
    if (!isRunning())
        return;
    const qint64 left = m_endTimer.isValid() ? graceMs - m_endTimer.elapsed() : graceMs;
    if (left <= 0 || !m_process.waitForFinished(int(left))) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void WorkerProcess::retire()
{
    m_jobs.clear();
    m_taking = false;
    if (!isRunning())
        return;
    m_process.closeWriteChannel();
    m_endTimer.start();
    finishEnding(5000);
}

} // namespace quirex::app
