#pragma once

#include "batchrunner.h"

#include <QEventLoop>

#include <memory>
#include <vector>

namespace quirex::app
{

class WorkerProcess;

// How a ConversionRunner runs its workers.
struct RunnerOptions {
    int workers = 0;              // at most this many at once; 0: usableProcessors()
    int timeoutSeconds = 300;     // wall-clock limit per document
    bool keepGoing = false;       // go on past failures (not in an all-to-one run)
    int documentsPerWorker = 200; // a worker is replaced after this many documents
    qint64 maxResidentBytes = qint64(1536) << 20; // ... or when its memory grows above this
    int graceMs = 1500;                           // SIGTERM to SIGKILL
    QString workerProgram; // the program started as a worker; empty: this program
};

// The processors this process may run on (its affinity mask), at least 1.
int usableProcessors();

// The batch runner of quirexdesk: converts in worker processes of this
// program (WorkerProcess), several at once, with the results of a serial run.
//
// - Inputs are handed out in list order, to as many workers as the options
//   allow (one in an all-to-one run, whose PDF lives in one worker, and
//   with the video step, whose copies share one name per folder). They
//   report in list order. The first failure in list order decides the
//   result; inputs after it that are under way are abandoned (their worker
//   ended, their temporaries removed), those before it finish.
// - While earlier inputs are still under way a PDF is written to a staging
//   name beside its target and put in place (renamed) only once every
//   earlier input succeeded, so the files of a stopped run are those a
//   serial run leaves; an abandoned input leaves its output as it was.
// - A worker that dies fails its input with WorkerDied (-33), one that
//   passes the time limit is ended and fails it with TimedOut (-34); both
//   are replaced, and nothing of their conversion is left on disk. A worker
//   is also replaced after documentsPerWorker documents or above
//   maxResidentBytes.
// - The progress window's Cancel (while the converter's messages are on) or
//   SIGINT/SIGTERM (interruption.h) ends every worker at once: Cancelled.
// - Error boxes a worker's converter showed are shown again through the
//   converter's message function, after their input's report.
// Needs the application object's event loop (it runs nested loops).
class ConversionRunner final : public BatchRunner
{
public:
    explicit ConversionRunner(const RunnerOptions &options = RunnerOptions());
    ~ConversionRunner() override;

    const RunnerOptions &options() const { return m_options; }
    void setOptions(const RunnerOptions &options) { m_options = options; }

    int convertJobs(CConverter &converter, const QVector<BatchJob> &jobs,
                    const BatchObserver &observer) override;
    int convertUrl(CConverter &converter, const QString &url, const QString &output) override;

    // The process ids of the workers running now, for tests and diagnostics.
    QVector<qint64> workerProcessIds() const;

private:
    Q_DISABLE_COPY(ConversionRunner)
    struct Job;
    class Run;

    WorkerProcess *idleWorker(int limit, int depth, QString *error);
    void forget(WorkerProcess *worker);
    void wait();

    RunnerOptions m_options;
    // The loop the workers wake goes after them.
    QEventLoop m_loop;
    std::vector<std::unique_ptr<WorkerProcess>> m_workers;
    int m_runs = 0;
};

} // namespace quirex::app
