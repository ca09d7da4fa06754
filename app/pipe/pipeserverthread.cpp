#include "pipeserverthread.h"

#include "diagnostic.h"
#include "handoffcallback.h"
#include "stopevent.h"

#include <system_error>

namespace quirex::app
{

// What the server thread uses; kept alive by the thread itself, so a thread that outlives the
// stop wait never touches freed memory.
struct PipeServerThread::Shared {
    platform::StopEvent stopEvent;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
};

PipeServerThread::PipeServerThread(const QString &registryPath)
    : m_callback(std::make_unique<HandOffCallback>(registryPath))
    , m_shared(std::make_shared<Shared>())
{
}

PipeServerThread::~PipeServerThread()
{
    stop();
}

bool PipeServerThread::start(const PipeServerOptions &options)
{
    if (m_thread.joinable())
        return true;
    PipeThreadParam param;
    param.stopEvent = m_shared->stopEvent.fd();
    param.stopEventError = m_shared->stopEvent.error();
    param.options = options;
    HandOffCallback *callback = m_callback.get();
    param.callback = [callback](const QString &text) { return callback->handOff(text); };
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->finished = false;
    }
    try {
        m_thread = std::thread([shared = m_shared, param] {
            pipeServerThreadProc(param);
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->finished = true;
            shared->ended.notify_all();
        });
    } catch (const std::system_error &failure) {
        writeDiagnostic(QStringLiteral("ClientSample::main(): failed to _beginthreadex()."),
                        failure.code().value(), 81, QStringLiteral("DlgConverter"));
        return false;
    }
    return true;
}

bool PipeServerThread::stop(std::chrono::milliseconds wait)
{
    if (!m_thread.joinable())
        return true;
    m_callback->clearReceiver();
    m_shared->stopEvent.signal();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool finished = false;
    for (;;) {
        // A hand-off posted to this thread is run (and, with no window attached, dropped) here.
        m_callback->deliverPending();
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        const auto slice =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(10));
        finished = m_shared->ended.wait_until(lock, slice, [this] { return m_shared->finished; });
        if (finished || std::chrono::steady_clock::now() >= deadline)
            break;
    }
    if (finished) {
        m_thread.join();
        return true;
    }
    // The thread may still call the callback, so it stays alive with the thread.
    m_thread.detach();
    (void)m_callback.release();
    return false;
}

bool PipeServerThread::isRunning() const
{
    if (!m_thread.joinable())
        return false;
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return !m_shared->finished;
}

} // namespace quirex::app
