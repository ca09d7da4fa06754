#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <type_traits>

namespace quirex::app
{

class HandOffReceiver;

// The message callback of the hand-off server: stores each text as the registry value
// "tmpIniPath" of "SOFTWARE\Ardenwyke\Vellumine" in the per-user registry (double quotes removed
// at its end, then at its start) and, when that worked and a main window is attached, hands the
// text (quotes kept, at most 2047 characters) to the window on the window's thread through a
// blocking queued call. Without a window (batch mode) only the registry is written.
//
// The object belongs to the thread that creates it, the window's thread; handOff() is called from
// the server thread. A blocked hand-off is released by deliverPending() on the window's thread,
// which the stop sequence uses so that joining the server thread can never wait for a hand-off
// that waits for the joining thread.
class HandOffCallback final : public QObject
{
    Q_OBJECT
public:
    static constexpr char kRegistryKey[] = "SOFTWARE\\Ardenwyke\\Vellumine";
    static constexpr char kRegistryValue[] = "tmpIniPath";

    // `registryPath` empty: the per-user registry in force (platform::Registry::defaultPath()).
    explicit HandOffCallback(const QString &registryPath = QString(), QObject *parent = nullptr);
    ~HandOffCallback() override;

    // Attaches the main window (a QObject that implements HandOffReceiver), or detaches with
    // nullptr. Call on this object's thread. A window that is destroyed detaches itself.
    template <typename Window> void setReceiver(Window *window)
    {
        static_assert(std::is_base_of_v<QObject, Window> &&
                          std::is_base_of_v<HandOffReceiver, Window>,
                      "the receiver must be a QObject that implements HandOffReceiver");
        attach(window, window);
    }
    void clearReceiver() { attach(nullptr, nullptr); }

    // The callback proper (PipeMessageCallback). Returns -1 when the registry key cannot be
    // opened ("pipe_callback 1" in the application log), 0 otherwise; a value that cannot be
    // written is logged as "pipe_callback 2" and not handed to the window.
    int handOff(const QString &text);

    // Runs the hand-offs waiting for this object's thread now. Call on this object's thread.
    void deliverPending();

private:
    void attach(QObject *window, HandOffReceiver *receiver);
    void deliver(const QString &text);

    QString m_registryPath;
    QPointer<QObject> m_window;
    HandOffReceiver *m_receiver = nullptr;
    // Read by the server thread, so that it never blocks on a thread without a window.
    std::atomic<bool> m_attached{false};
};

} // namespace quirex::app
