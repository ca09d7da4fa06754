#include "hangguard.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

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

HangGuard::HangGuard()
{
    m_beat.setInterval(kBeatMs);
    m_beat.setTimerType(Qt::PreciseTimer);
    connect(&m_beat, &QTimer::timeout, this, &HangGuard::beat);
}

HangGuard::~HangGuard()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
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
    if (!m_thread.joinable())
        m_thread = std::thread([this] { keepWatch(); });
    m_beat.start();
    m_wake.notify_all();
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

void HangGuard::keepWatch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        m_wake.wait_for(lock, std::chrono::milliseconds(kBeatMs));
        if (m_stopping || m_open == 0)
            continue;
        const auto held = Clock::now() - m_lastBeat;
        if (held > m_bound)
            endProcess(std::chrono::duration_cast<std::chrono::milliseconds>(held).count());
    }
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
