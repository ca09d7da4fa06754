#include "stopevent.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace quirex::platform
{

StopEvent::StopEvent()
{
    m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_fd < 0)
        m_error = errno;
}

StopEvent::~StopEvent()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool StopEvent::signal()
{
    if (m_fd < 0)
        return false;
    // The counter is never read, so it stays non-zero (readable) once written.
    const eventfd_t one = 1;
    while (::write(m_fd, &one, sizeof one) < 0) {
        if (errno != EINTR)
            return errno == EAGAIN; // counter saturated: still signalled
    }
    return true;
}

bool StopEvent::isSignalled() const
{
    if (m_fd < 0)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

} // namespace quirex::platform
