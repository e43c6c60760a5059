#pragma once

#include <QDateTime>

namespace platform {

// Where the station takes "now" from, and how it waits. Date and time are always taken from one
// reading of now() (two readings could straddle midnight). Tests pin the clock and skip the waits.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Blocks the calling thread for the given time (no event loop runs meanwhile).
    virtual void pause(int milliseconds) = 0;
};

// The real local clock.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    void pause(int milliseconds) override;
};

// A clock that stands still until it is set; pause() only adds to pausedMilliseconds() and advances now().
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    QDateTime now() const override { return m_now; }
    void pause(int milliseconds) override;
    void setNow(const QDateTime& now) { m_now = now; }
    int pausedMilliseconds() const { return m_paused; }

private:
    QDateTime m_now;
    int m_paused = 0;
};

} // namespace platform
