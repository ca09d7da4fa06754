#include "stallwatch.h"

#include <algorithm>

namespace quirex::engine
{

namespace
{

// Often enough to see a stall to a tenth of a second, seldom enough to cost nothing.
constexpr int kTickMs = 50;

} // namespace

StallWatch::StallWatch(QObject *parent)
    : QObject(parent)
{
    m_ticker.setInterval(kTickMs);
    m_ticker.setTimerType(Qt::PreciseTimer);
    connect(&m_ticker, &QTimer::timeout, this, &StallWatch::tick);
}

void StallWatch::start()
{
    m_longest = 0;
    m_sinceTick.start();
    m_ticker.start();
}

void StallWatch::tick()
{
    m_longest = std::max(m_longest, m_sinceTick.restart() - kTickMs);
}

qint64 StallWatch::longestStallMs() const
{
    if (!m_sinceTick.isValid())
        return m_longest;
    return std::max(m_longest, m_sinceTick.elapsed() - kTickMs);
}

} // namespace quirex::engine
