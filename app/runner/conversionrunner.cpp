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
    WorkerProcess *worker = nullptr;
    WorkerReply reply;
    QElapsedTimer timer;
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
    }

    int exec();

private:
    bool cancelled() const;
    bool dispatch(int index);
    void collect();
    void fail(Job &job, int result, const QString &reason);
    void endJob(Job &job, bool replaceWorker);
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
    int m_next = 0;         // the next job to hand out
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

// Ends the worker of `job` in the middle of its conversion and removes what
// the conversion left.
void ConversionRunner::Run::endJob(Job &job, bool replaceWorker)
{
    if (job.worker) {
        job.worker->beginEnding();
        job.worker->finishEnding(m_runner.m_options.graceMs);
        if (replaceWorker) {
            auto &workers = m_runner.m_workers;
            for (auto it = workers.begin(); it != workers.end(); ++it)
                if (it->get() == job.worker) {
                    workers.erase(it);
                    break;
                }
        }
        job.worker = nullptr;
    }
    job.files.removeLeftovers(job.staged);
}

bool ConversionRunner::Run::dispatch(int index)
{
    Job &job = m_jobs[index];
    if (job.target.isEmpty()) {
        fail(job, ConvertResult::OutputPathNotCorrect, QString());
        return true;
    }
    QString error;
    WorkerProcess *worker = m_runner.idleWorker(m_width, &error);
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
    job.timer.start();
    worker->send(request, index);
    return true;
}

// Takes the replies that came, and fails the inputs of workers that died or
// ran out of time.
void ConversionRunner::Run::collect()
{
    const qint64 limitMs = qint64(m_runner.m_options.timeoutSeconds) * 1000;
    int firstFailed = -1;
    for (int index = 0; index < m_jobs.size(); ++index) {
        Job &job = m_jobs[index];
        if (job.state != Job::State::Running)
            continue;
        WorkerProcess *worker = job.worker;
        if (worker->takeReply(&job.reply)) {
            job.state = Job::State::Done;
            job.worker = nullptr;
            if (!job.reply.reason.isEmpty() && job.staged)
                job.reply.reason.replace(job.request.output, job.target);
            const bool inPdf = m_joined && !job.request.lastFile && job.reply.result == 0;
            if (!inPdf && (worker->documents() >= m_runner.m_options.documentsPerWorker ||
                           worker->residentBytes() > m_runner.m_options.maxResidentBytes)) {
                worker->retire();
                auto &workers = m_runner.m_workers;
                for (auto it = workers.begin(); it != workers.end(); ++it)
                    if (it->get() == worker) {
                        workers.erase(it);
                        break;
                    }
            }
        } else if (!worker->isRunning() && worker->endedByEngineHangGuard()) {
            endJob(job, true);
            fail(job, ConvertResult::TimedOut,
                 QStringLiteral("%1 held the engine past its page time-out (a script that does "
                                "not end); its worker process was ended")
                     .arg(job.request.input));
        } else if (!worker->isRunning()) {
            const QString why = worker->exitDescription();
            endJob(job, true);
            fail(job, ConvertResult::WorkerDied,
                 QStringLiteral("the worker process converting %1 %2").arg(job.request.input, why));
        } else if (job.timer.elapsed() > limitMs) {
            endJob(job, true);
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
// removed when finished.
void ConversionRunner::Run::abandonAfter(int index)
{
    for (int i = index + 1; i < m_jobs.size(); ++i) {
        Job &job = m_jobs[i];
        if (job.state == Job::State::Running && job.worker)
            job.worker->beginEnding();
    }
    for (int i = index + 1; i < m_jobs.size(); ++i) {
        Job &job = m_jobs[i];
        if (job.state == Job::State::Running) {
            endJob(job, true);
        } else if (job.state == Job::State::Done) {
            job.files.removeLeftovers(job.staged);
        }
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
        while (!m_stopped && m_next < m_jobs.size() && dispatch(m_next)) {
            if (m_jobs[m_next].state == Job::State::Done && m_jobs[m_next].reply.result != 0 &&
                !m_keepGoing)
                m_stopped = true;
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

WorkerProcess *ConversionRunner::idleWorker(int limit, QString *error)
{
    int alive = 0;
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (!(*it)->isRunning() && (*it)->job() < 0) {
            it = m_workers.erase(it);
            continue;
        }
        if ((*it)->job() < 0)
            return it->get();
        ++alive;
        ++it;
    }
    if (alive >= limit)
        return nullptr;
    auto worker = std::make_unique<WorkerProcess>([this] { m_loop.quit(); });
    if (!worker->start(m_options.workerProgram, error))
        return nullptr;
    m_workers.push_back(std::move(worker));
    return m_workers.back().get();
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
