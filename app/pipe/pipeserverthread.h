#pragma once

#include "pipe_srv.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace quirex::platform
{
class StopEvent;
}

namespace quirex::app
{

class HandOffCallback;

// The hand-off server thread of the program, from its start to the stop sequence.
//
// Create it on the window's thread, before anything else of the program, and stop it last. The
// thread serves in every mode: with a main window attached to the callback, texts also reach the
// window; without one (batch mode) only the registry is written.
class PipeServerThread final
{
public:
    static constexpr std::chrono::milliseconds kStopWait{5000};

    // `registryPath` empty: the per-user registry in force.
    explicit PipeServerThread(const QString &registryPath = QString());
    ~PipeServerThread();
    PipeServerThread(const PipeServerThread &) = delete;
    PipeServerThread &operator=(const PipeServerThread &) = delete;

    // The callback, to attach or detach the main window.
    HandOffCallback &callback() { return *m_callback; }

    // Starts the server thread. When the thread cannot be started, writes the start-up diagnostic
    // (module "DlgConverter") and returns false; the caller then runs stop() and ends.
    // `options` are for tests; the program passes none.
    bool start(const PipeServerOptions &options = PipeServerOptions());

    // The stop sequence: detaches the window, signals the stop event and waits at most `wait`
    // for the thread to end, meanwhile running on this thread the hand-off the server thread may
    // be blocked on, so the two can never wait for each other. Returns true when the thread has
    // ended (or never ran). A thread that outlives the wait cannot be killed here: it is left
    // to the end of the process, with what it uses.
    bool stop(std::chrono::milliseconds wait = kStopWait);

    bool isRunning() const;

private:
    struct Shared;

    std::unique_ptr<HandOffCallback> m_callback;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace quirex::app
