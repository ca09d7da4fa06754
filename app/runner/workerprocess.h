#pragma once

#include "workerprotocol.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QQueue>

#include <functional>

namespace quirex::app
{

// One worker process: this program started with kWorkerArgument, fed one
// request at a time over its standard input; its replies come back on its
// standard output, its diagnostics go to this program's standard error.
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
    // The job under way, or -1.
    int job() const { return m_job; }
    // Forgets the job under way: a reply to it will be ignored.
    void dropJob() { m_job = -1; }
    // Milliseconds since the job under way was sent.
    qint64 jobMilliseconds() const { return m_jobTimer.elapsed(); }
    // The reply to the job under way, once it came; the worker is then idle.
    bool takeReply(WorkerReply *reply);
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
    int m_job = -1;
    int m_documents = 0;
    QElapsedTimer m_jobTimer;
    QElapsedTimer m_endTimer;
};

} // namespace quirex::app
