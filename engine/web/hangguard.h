#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <mutex>

namespace quirex::engine
{

// The exit status of a process the guard ended (as a command that ran out of time).
constexpr int kHungDocumentExitStatus = 124;

// Ends the process when the thread that drives the web engine has not turned its event loop
// for longer than a bound while a watch is open: a document script that never ends, or a
// layout running far past the page time-out. The web engine cannot stop such a stretch from
// outside, and waiting would hold the caller for ever. Before the process ends, the guard
// writes why to the engine log and to stderr and removes the temporary output, so nothing
// half-written is left. Callers that must outlive such documents run the engine in a process
// of its own.
//
// One guard per engine object; one thread of the process looks at every guard ten times a
// second (started with the first guard, it never ends), so a guard costs no thread of its
// own and a watch wakes nothing. Watches nest; the outermost one's bound holds.
class HangGuard final : public QObject
{
    Q_OBJECT

public:
    HangGuard();
    ~HangGuard() override;

    // What the guard leaves in order, taken when a watch opens.
    struct Cleanup {
        int logDescriptor = -1;  // the open engine log, or -1
        QString temporaryOutput; // the output written so far, removed; or empty
    };

    // Open while the event loop must keep turning: at most `boundMs` without a turn.
    class Watch
    {
    public:
        Watch(HangGuard &guard, qint64 boundMs, const Cleanup &cleanup);
        ~Watch();
        Watch(const Watch &) = delete;
        Watch &operator=(const Watch &) = delete;

    private:
        HangGuard &m_guard;
    };

private:
    using Clock = std::chrono::steady_clock;

    void open(qint64 boundMs, const Cleanup &cleanup);
    void close();
    void beat();
    // Called by the looking thread: ends the process when the open watch was held too long.
    void look();
    [[noreturn]] void endProcess(qint64 heldMs);
    friend class GuardLooker;

    QTimer m_beat;
    std::mutex m_mutex;
    // Guarded by m_mutex.
    int m_open = 0;
    std::chrono::milliseconds m_bound{0};
    Clock::time_point m_lastBeat;
    int m_logDescriptor = -1;
    QByteArray m_temporaryOutput;
    QByteArray m_reasonBound;
};

} // namespace quirex::engine
