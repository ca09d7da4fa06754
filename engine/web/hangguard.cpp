#include "hangguard.h"

#include <QFile>

#include <condition_variable>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quirex::engine
{

namespace
{

// How often the event loop reports a turn, and the guard looks.
constexpr int kBeatMs = 100;

void writeAll(int descriptor, const QByteArray &text)
{
    const char *data = text.constData();
    qsizetype left = text.size();
    while (descriptor >= 0 && left > 0) {
        const ssize_t written = ::write(descriptor, data, static_cast<size_t>(left));
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}

} // namespace

// The thread that looks at every guard of the process. Made once and never destroyed: it
// may still be waiting when the process exits, so nothing it uses is torn down then.
class GuardLooker
{
public:
    static GuardLooker &instance()
    {
        static GuardLooker *const looker = new GuardLooker;
        return *looker;
    }

    void add(HangGuard *guard)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_guards.push_back(guard);
    }

    // Once this returns the thread no longer looks at `guard`.
    void remove(HangGuard *guard)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_guards.begin(); it != m_guards.end(); ++it)
            if (*it == guard) {
                *it = m_guards.back();
                m_guards.pop_back();
                break;
            }
    }

private:
    GuardLooker()
    {
        std::thread([this] { run(); }).detach();
    }

    [[noreturn]] void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_tick.wait_for(lock, std::chrono::milliseconds(kBeatMs));
            for (HangGuard *guard : m_guards)
                guard->look();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_tick; // never notified: the thread looks at every tick
    std::vector<HangGuard *> m_guards;
};

HangGuard::HangGuard()
{
    m_beat.setInterval(kBeatMs);
    m_beat.setTimerType(Qt::PreciseTimer);
    connect(&m_beat, &QTimer::timeout, this, &HangGuard::beat);
    GuardLooker::instance().add(this);
}

HangGuard::~HangGuard()
{
    GuardLooker::instance().remove(this);
}

HangGuard::Watch::Watch(HangGuard &guard, qint64 boundMs, const Cleanup &cleanup)
    : m_guard(guard)
{
    m_guard.open(boundMs, cleanup);
}

HangGuard::Watch::~Watch()
{
    m_guard.close();
}

void HangGuard::open(qint64 boundMs, const Cleanup &cleanup)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastBeat = Clock::now();
        if (m_open++ == 0) {
            m_bound = std::chrono::milliseconds(qMax<qint64>(boundMs, kBeatMs));
            m_logDescriptor = cleanup.logDescriptor;
            m_temporaryOutput = QFile::encodeName(cleanup.temporaryOutput);
            m_reasonBound = QByteArray::number(static_cast<qint64>(m_bound.count()));
        }
    }
    m_beat.start();
}

void HangGuard::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (--m_open == 0)
        m_beat.stop();
}

void HangGuard::beat()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lastBeat = Clock::now();
}

void HangGuard::look()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_open == 0)
        return;
    const auto held = Clock::now() - m_lastBeat;
    if (held > m_bound)
        endProcess(std::chrono::duration_cast<std::chrono::milliseconds>(held).count());
}

void HangGuard::endProcess(qint64 heldMs)
{
    // Only what is safe while the other thread stays where it is: plain writes and an unlink.
    const QByteArray reason = "load failed: the document held the engine for " +
                              QByteArray::number(heldMs) +
                              " ms without a break, longer than its bound of " + m_reasonBound +
                              " ms (a script that does not end, or a layout far past the page "
                              "time-out); the process is ended\n";
    writeAll(m_logDescriptor, reason);
    writeAll(STDERR_FILENO, "quirex: " + reason);
    if (!m_temporaryOutput.isEmpty())
        ::unlink(m_temporaryOutput.constData());
    ::_exit(kHungDocumentExitStatus);
}

} // namespace quirex::engine
