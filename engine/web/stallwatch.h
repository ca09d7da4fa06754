#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace quirex::engine
{

// Measures, while it runs, the longest stretch the thread's event loop did not turn: a
// script or a layout holding the page that long kept every timer waiting, the load's own
// time-out included.
class StallWatch final : public QObject
{
    Q_OBJECT

public:
    explicit StallWatch(QObject *parent = nullptr);

    void start();
    // The longest stretch so far, in milliseconds, up to now.
    qint64 longestStallMs() const;

private:
    void tick();

    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

} // namespace quirex::engine
