#include "conversionrunner.h"

#include "conversionprogress.h"
#include "converter.h"
#include "interruption.h"
#include "jobfiles.h"
#include "pathcompletion.h"
#include "shellopen.h"
#include "videoreplacement.h"
#include "workerprocess.h"

#include <QElapsedTimer>
#include <QTimer>

#include <sched.h>

#include <set>

namespace quirex::app
{

int usableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    return qMax(1, CPU_COUNT(&set));
}

// One input of a run and what became of it.
struct ConversionRunner::Job {
    enum class State { Pending, Running, Done, Abandoned };
    WorkerRequest request;
    QString target; // the PDF's final path
    bool staged = false;
    JobFiles files;
    State state = State::Pending;
    WorkerProcess *worker = nullptr; // while Running: under way there or waiting behind another
    WorkerReply reply;
    QElapsedTimer timer; // from the moment its worker started on it
};

// The state of one call of convertJobs or convertUrl.
class ConversionRunner::Run
{
public:
    Run(ConversionRunner &runner, CConverter &converter, QVector<Job> jobs,
        const BatchObserver &observer)
        : m_runner(runner)
        , m_converter(converter)
        , m_jobs(std::move(jobs))
        , m_observer(observer)
    {
        m_joined = converter.allToOne();
        m_keepGoing = runner.m_options.keepGoing && !m_joined;
        const int wanted =
            runner.m_options.workers > 0 ? runner.m_options.workers : usableProcessors();
        // The video step's copies of inputs of one folder would share one
        // name, and an all-to-one PDF lives in one worker: one at a time.
        const bool serial = m_joined || !converter.tempFileName().isEmpty();
        m_width = serial ? 1 : qBound(1, wanted, qMax(1, int(m_jobs.size())));
        // A worker is sent its next input while it converts one, so it never
        // waits for this program between two. Not where one input depends
        // on the one before (one PDF, one name for the video step's copies).
        m_depth = serial ? 1 : 2;
    }

    int exec();

private:
    bool cancelled() const;
    int nextPending() const;
    bool dispatch(int index);
    void collect();
    void replied(WorkerProcess *worker, bool holdsPdf);
    void fail(Job &job, int result, const QString &reason);
    QVector<int> endWorker(WorkerProcess *worker);
    void endJob(Job &job);
    int report(int index);
    void abandonAfter(int index);
    int cancel();

    ConversionRunner &m_runner;
    CConverter &m_converter;
    QVector<Job> m_jobs;
    const BatchObserver &m_observer;
    bool m_joined = false;
    bool m_keepGoing = false;
    int m_width = 1;
    int m_depth = 1;        // jobs a worker holds at once
    int m_next = 0;         // the next job to hand out
    std::set<int> m_retry;  // jobs handed back by a worker that ended before starting them
    bool m_stopped = false; // a failure stops handing out
    int m_firstFailure = 0;
    QString m_firstReason;
};

bool ConversionRunner::Run::cancelled() const
{
    return interruptionSignal() != 0 || (m_converter.messagesEnabled() && m_converter.progress() &&
                                         m_converter.progress()->cancelled());
}

void ConversionRunner::Run::fail(Job &job, int result, const QString &reason)
{
    job.state = Job::State::Done;
    job.reply = WorkerReply();
    job.reply.result = result;
    job.reply.reason = reason;
}

// Ends `worker` at once and forgets it. Returns the jobs it held.
QVector<int> ConversionRunner::Run::endWorker(WorkerProcess *worker)
{
    const QVector<int> held(worker->jobs().begin(), worker->jobs().end());
    worker->beginEnding();
    worker->finishEnding(m_runner.m_options.graceMs);
    m_runner.forget(worker);
    for (const int index : held)
        m_jobs[index].worker = nullptr;
    return held;
}

// Ends the worker of `job`, which is under way there, and removes what the
// conversion left. The jobs waiting behind it go back to be handed out again.
void ConversionRunner::Run::endJob(Job &job)
{
    if (job.worker) {
        for (const int index : endWorker(job.worker)) {
            Job &waiting = m_jobs[index];
            if (&waiting == &job || waiting.state != Job::State::Running)
                continue;
            waiting.state = Job::State::Pending;
            m_retry.insert(index);
        }
    }
    job.files.removeLeftovers(job.staged);
}

int ConversionRunner::Run::nextPending() const
{
    for (const int index : m_retry)
        if (m_jobs[index].state == Job::State::Pending)
            return index;
    return m_next < m_jobs.size() ? m_next : -1;
}

bool ConversionRunner::Run::dispatch(int index)
{
    Job &job = m_jobs[index];
    if (job.target.isEmpty()) {
        fail(job, ConvertResult::OutputPathNotCorrect, QString());
        return true;
    }
    QString error;
    WorkerProcess *worker = m_runner.idleWorker(m_width, m_depth, &error);
    if (!worker) {
        if (!error.isEmpty()) {
            fail(job, ConvertResult::WorkerDied, error);
            return true;
        }
        return false;
    }
    WorkerRequest &request = job.request;
    request.settings = m_converter.settings();
    request.headerText = m_converter.headerText();
    request.footerText = m_converter.footerText();
    request.tempFileName = m_converter.tempFileName();
    request.outputExtension = m_converter.outputExtension();
    request.swapExtension = m_converter.swapExtension();
    request.allToOne = m_joined;
    request.firstFile = index == 0;
    request.lastFile = index == m_jobs.size() - 1;
    request.messages = m_converter.messagesEnabled();
    request.target = job.target;
    job.staged = m_jobs.size() > 1 && !m_joined && request.kind == WorkerRequest::Kind::File;
    request.output = job.staged ? stagingPath(job.target, m_runner.m_runs, index) : job.target;
    const QString videoCopy =
        request.tempFileName.isEmpty() || request.kind == WorkerRequest::Kind::Url
            ? QString()
            : videoCopyPath(completePath(request.input), request.tempFileName);
    job.files = JobFiles(request.output, videoCopy, job.staged);
    job.worker = worker;
    job.state = Job::State::Running;
    if (worker->currentJob() < 0)
        job.timer.start();
    worker->send(request, index);
    return true;
}

// After `worker` answered: starts the clock of the job it took up next, ends
// it when that job was abandoned meanwhile, and replaces it once idle when it
// is due, unless it `holdsPdf` (an all-to-one PDF under way).
void ConversionRunner::Run::replied(WorkerProcess *worker, bool holdsPdf)
{
    const int next = worker->currentJob();
    if (next >= 0 && m_jobs[next].state == Job::State::Abandoned) {
        for (const int index : endWorker(worker))
            m_jobs[index].files.removeLeftovers(m_jobs[index].staged);
        return;
    }
    if (next >= 0)
        m_jobs[next].timer.start();
    const RunnerOptions &options = m_runner.m_options;
    if (!holdsPdf && (worker->documents() >= options.documentsPerWorker ||
                      worker->residentBytes() > options.maxResidentBytes))
        worker->stopTaking();
    if (next < 0 && !worker->taking()) {
        worker->retire();
        m_runner.forget(worker);
    }
}

// Takes the replies that came, and fails the inputs of workers that died or
// ran out of time.
void ConversionRunner::Run::collect()
{
    const qint64 limitMs = qint64(m_runner.m_options.timeoutSeconds) * 1000;
    int firstFailed = -1;
    for (int index = 0; index < m_jobs.size(); ++index) {
        Job &job = m_jobs[index];
        // A job waiting behind another has not started.
        if (job.state != Job::State::Running || job.worker->currentJob() != index)
            continue;
        WorkerProcess *worker = job.worker;
        if (worker->takeReply(&job.reply)) {
            job.state = Job::State::Done;
            job.worker = nullptr;
            if (!job.reply.reason.isEmpty() && job.staged)
                job.reply.reason.replace(job.request.output, job.target);
            replied(worker, m_joined && !job.request.lastFile && job.reply.result == 0);
        } else if (!worker->isRunning() && worker->endedByEngineHangGuard()) {
            endJob(job);
            fail(job, ConvertResult::TimedOut,
                 QStringLiteral("%1 held the engine past its page time-out (a script that does "
                                "not end); its worker process was ended")
                     .arg(job.request.input));
        } else if (!worker->isRunning()) {
            const QString why = worker->exitDescription();
            endJob(job);
            fail(job, ConvertResult::WorkerDied,
                 QStringLiteral("the worker process converting %1 %2").arg(job.request.input, why));
        } else if (job.timer.elapsed() > limitMs) {
            endJob(job);
            fail(job, ConvertResult::TimedOut,
                 QStringLiteral("%1 took more than %2 s; its worker process was ended")
                     .arg(job.request.input)
                     .arg(m_runner.m_options.timeoutSeconds));
        } else {
            continue;
        }
        if (job.reply.result != 0 && !m_keepGoing && firstFailed < 0)
            firstFailed = index;
    }
    // This failure or an earlier one ends the run: what comes after it is
    // abandoned now rather than converted in vain.
    if (firstFailed >= 0) {
        m_stopped = true;
        abandonAfter(firstFailed);
    }
}

// Abandons every input after `index`: ended when under way, its staged PDF
// removed when finished. A worker still converting an input up to `index`
// finishes it and is ended once it answers (replied()).
void ConversionRunner::Run::abandonAfter(int index)
{
    // Every worker is told first, so they end side by side; its jobs are let go
    // before, as telling it forgets them.
    std::vector<WorkerProcess *> ending;
    for (int i = index + 1; i < m_jobs.size(); ++i) {
        Job &job = m_jobs[i];
        if (job.state == Job::State::Running && job.worker && job.worker->currentJob() == i) {
            WorkerProcess *worker = job.worker;
            for (const int held : worker->jobs())
                m_jobs[held].worker = nullptr;
            worker->beginEnding();
            ending.push_back(worker);
        }
    }
    for (WorkerProcess *worker : ending) {
        worker->finishEnding(m_runner.m_options.graceMs);
        m_runner.forget(worker);
    }
    for (int i = index + 1; i < m_jobs.size(); ++i) {
        Job &job = m_jobs[i];
        const bool waiting = job.state == Job::State::Running && job.worker;
        if (job.state == Job::State::Done || (job.state == Job::State::Running && !waiting))
            job.files.removeLeftovers(job.staged);
        job.state = Job::State::Abandoned;
    }
}

int ConversionRunner::Run::cancel()
{
    abandonAfter(-1);
    m_converter.setFailureReason(QStringLiteral("the conversion was cancelled"));
    return ConvertResult::Cancelled;
}

// Puts the PDF of a finished input in place and reports it. Returns its result.
int ConversionRunner::Run::report(int index)
{
    Job &job = m_jobs[index];
    int result = job.reply.result;
    QString reason = job.reply.reason;
    if (job.staged) {
        if (result == 0 && !commitStaged(job.request.output, job.target, &reason))
            result = ConvertResult::EngineFailed;
        else if (result != 0)
            job.files.removeLeftovers(true);
    }
    const bool pdfDone = !m_joined || job.request.lastFile;
    if (result == 0 && m_converter.openAfter() && pdfDone &&
        job.request.kind == WorkerRequest::Kind::File && platform::shellOpen(job.target) <= 32)
        result = ConvertResult::OpenFailed;
    for (const WorkerMessage &message : qAsConst(job.reply.messages))
        m_converter.showMessage(message.text, message.title, message.icon, message.buttons);
    if (result != 0 && m_firstFailure == 0) {
        m_firstFailure = result;
        m_firstReason = reason;
    }
    if (m_observer) {
        BatchStep step;
        step.number = index + 1;
        step.count = m_jobs.size();
        step.input = job.request.input;
        step.output = job.target;
        step.result = result;
        step.pages = result == 0 ? job.reply.pages : 0;
        step.seconds = job.timer.isValid() ? job.timer.nsecsElapsed() / 1e9 : 0;
        step.reason = reason;
        m_observer(step);
    }
    return result;
}

int ConversionRunner::Run::exec()
{
    int reported = 0;
    while (reported < m_jobs.size()) {
        if (cancelled())
            return cancel();
        for (int index; !m_stopped && (index = nextPending()) >= 0 && dispatch(index);) {
            if (m_jobs[index].state == Job::State::Done && m_jobs[index].reply.result != 0 &&
                !m_keepGoing)
                m_stopped = true;
            if (!m_retry.erase(index))
                ++m_next;
        }
        collect();
        bool progressed = false;
        while (reported < m_jobs.size() && m_jobs[reported].state == Job::State::Done) {
            progressed = true;
            const int result = report(reported);
            if (result != 0 && !m_keepGoing) {
                abandonAfter(reported);
                m_converter.setFailureReason(m_firstReason);
                return result;
            }
            ++reported;
        }
        if (!progressed)
            m_runner.wait();
    }
    m_converter.setFailureReason(m_firstReason);
    return m_firstFailure;
}

ConversionRunner::ConversionRunner(const RunnerOptions &options)
    : m_options(options)
{
}

ConversionRunner::~ConversionRunner() = default;

// A worker that can take a job now: an idle one, else a new one while fewer
// than `limit` run, else the least busy holding fewer than `depth` jobs.
WorkerProcess *ConversionRunner::idleWorker(int limit, int depth, QString *error)
{
    int alive = 0;
    WorkerProcess *busy = nullptr;
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        WorkerProcess *worker = it->get();
        if (!worker->isRunning() && worker->jobs().isEmpty()) {
            it = m_workers.erase(it);
            continue;
        }
        ++it;
        ++alive;
        if (!worker->isRunning() || !worker->taking())
            continue;
        if (worker->jobs().isEmpty())
            return worker;
        if (worker->jobs().size() < depth && (!busy || worker->jobs().size() < busy->jobs().size()))
            busy = worker;
    }
    if (alive >= limit)
        return busy;
    auto worker = std::make_unique<WorkerProcess>([this] { m_loop.quit(); });
    if (!worker->start(m_options.workerProgram, error))
        return nullptr;
    m_workers.push_back(std::move(worker));
    return m_workers.back().get();
}

void ConversionRunner::forget(WorkerProcess *worker)
{
    for (auto it = m_workers.begin(); it != m_workers.end(); ++it)
        if (it->get() == worker) {
            m_workers.erase(it);
            return;
        }
}

void ConversionRunner::wait()
{
    QTimer::singleShot(100, &m_loop, &QEventLoop::quit);
    m_loop.exec();
}

int ConversionRunner::convertJobs(CConverter &converter, const QVector<BatchJob> &batch,
                                  const BatchObserver &observer)
{
    ++m_runs;
    converter.setFailureReason(QString());
    QVector<Job> jobs(batch.size());
    for (int i = 0; i < batch.size(); ++i) {
        jobs[i].request.input = batch[i].input;
        jobs[i].target = batch[i].output;
    }
    return Run(*this, converter, std::move(jobs), observer).exec();
}

int ConversionRunner::convertUrl(CConverter &converter, const QString &url, const QString &output)
{
    ++m_runs;
    converter.setFailureReason(QString());
    QVector<Job> jobs(1);
    jobs[0].request.kind = WorkerRequest::Kind::Url;
    jobs[0].request.input = url;
    jobs[0].target = output;
    const bool joined = converter.allToOne();
    converter.setAllToOne(false);
    const int result = Run(*this, converter, std::move(jobs), {}).exec();
    converter.setAllToOne(joined);
    return result;
}

QVector<qint64> ConversionRunner::workerProcessIds() const
{
    QVector<qint64> ids;
    for (const auto &worker : m_workers)
        if (worker->isRunning())
            ids.append(worker->processId());
    return ids;
}

} // namespace quirex::app
