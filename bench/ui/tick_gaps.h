#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QTimer>

#include <algorithm>

// The longest stretch between two of the given moments (nanoseconds, in order), in seconds.
inline double largestGapSeconds(const QList<qint64> &momentsNs)
{
    qint64 largest = 0;
    for (qsizetype i = 1; i < momentsNs.size(); ++i)
        largest = std::max(largest, momentsNs[i] - momentsNs[i - 1]);
    return largest / 1e9;
}

// A timer on the window thread stands for the window's painting and clicks: the largest gap
// between its ticks is the longest the window was kept from its events. The watch starts
// when made; its start and its stop count as ticks.
class TickGaps
{
public:
    explicit TickGaps(int intervalMs)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_ticksNs.append(nowNs()); });
        m_clock.start();
        m_ticksNs.append(0);
        m_timer.start(intervalMs);
    }
    void stop()
    {
        if (!m_timer.isActive())
            return;
        m_timer.stop();
        m_ticksNs.append(nowNs());
    }
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }
    // From the start to the stop (or to now, while it runs).
    double seconds() const { return (m_timer.isActive() ? nowNs() : m_ticksNs.last()) / 1e9; }
    // The timer's own ticks, the start and the stop left out.
    qsizetype ticks() const { return m_ticksNs.size() - (m_timer.isActive() ? 1 : 2); }
    double largestSeconds() const { return largestGapSeconds(m_ticksNs); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    QList<qint64> m_ticksNs;
};
