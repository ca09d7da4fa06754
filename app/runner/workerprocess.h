#pragma once

#include "workerprotocol.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QQueue>

#include <functional>

namespace quirex::app
{

// One worker process: this program started with kWorkerArgument, fed
// requests over its standard input, which it converts one after another;
// its replies come back in the same order on its standard output, its
// diagnostics go to this program's standard error. A request may be sent
// while the one before it is under way, so the worker starts on it without
// waiting for this program to hear the reply.
// Lives on the thread of the application object and needs its event loop
// running to hear from the process.
class WorkerProcess final
{
public:
    // `wake` is called whenever the process said something or ended.
    explicit WorkerProcess(std::function<void()> wake);
    ~WorkerProcess();

    // Starts `program` (empty: this program) as a worker. False, with
    // `error` saying why, when it cannot.
    bool start(const QString &program, QString *error);
    // True until the process has ended (or was never started).
    bool isRunning() const;
    // Why the process ended, for a message: "crashed (ended by a signal)", "exited with code N".
    QString exitDescription() const;
    // The engine ended the process: a document held it past its page time-out.
    bool endedByEngineHangGuard() const;

    // Hands over a request for the job `job` (an index of the caller's).
    void send(const WorkerRequest &request, int job);
    // The jobs sent and not answered, the one under way first.
    const QQueue<int> &jobs() const { return m_jobs; }
    // The job under way, or -1.
    int currentJob() const { return m_jobs.isEmpty() ? -1 : m_jobs.head(); }
    // The reply to the job under way, once it came, in `reply`; the next job
    // sent is then under way.
    bool takeReply(WorkerReply *reply);
    // No more jobs are to be sent to this process (it is replaced once idle).
    void stopTaking() { m_taking = false; }
    bool taking() const { return m_taking; }
    // Documents this process has been given.
    int documents() const { return m_documents; }
    // The process's resident memory in bytes (from /proc), 0 when unknown.
    qint64 residentBytes() const;
    // The process id, 0 when not running.
    qint64 processId() const;

    // Asks the process to end: SIGTERM (its conversion is cancelled and its
    // temporaries removed when it can still hear it). finishEnding() waits
    // until it has ended, with SIGKILL after `graceMs`.
    void beginEnding();
    void finishEnding(int graceMs);
    // Ends an idle process by closing its input, SIGKILL when it does not go.
    void retire();

private:
    Q_DISABLE_COPY(WorkerProcess)
    void readReplies();

    std::function<void()> m_wake;
    QProcess m_process;
    QByteArray m_buffer;
    QQueue<WorkerReply> m_replies;
    QQueue<int> m_jobs;
    bool m_taking = true;
    int m_documents = 0;
    QElapsedTimer m_endTimer;
};

} // namespace quirex::app
