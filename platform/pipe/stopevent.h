#pragma once

namespace quirex::platform
{

// A manual-reset event as a file descriptor (eventfd), so a thread can poll it beside its sockets.
// Once signalled it stays readable until it is destroyed.
class StopEvent final
{
public:
    // Creates the event, not signalled. On failure isValid() is false and error() holds errno.
    StopEvent();
    ~StopEvent();
    StopEvent(const StopEvent &) = delete;
    StopEvent &operator=(const StopEvent &) = delete;

    bool isValid() const { return m_fd >= 0; }
    int error() const { return m_error; }
    // The descriptor to poll for reading; -1 when the event could not be created.
    int fd() const { return m_fd; }

    // Safe from any thread; false only when the event is invalid.
    bool signal();
    bool isSignalled() const;

private:
    int m_fd = -1;
    int m_error = 0;
};

} // namespace quirex::platform
