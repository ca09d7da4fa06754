#include "waituntil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace quirex::test
{

namespace
{

bool wait(const std::function<bool()> &done, int timeoutMs, bool pumpEvents)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        if (pumpEvents)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(pumpEvents ? 1 : 5);
    }
    return true;
}

} // namespace

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    return wait(done, timeoutMs, false);
}

bool pumpUntil(const std::function<bool()> &done, int timeoutMs)
{
    return wait(done, timeoutMs, true);
}

} // namespace quirex::test
