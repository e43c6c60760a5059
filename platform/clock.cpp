#include "clock.h"

#include <QThread>
#include <utility>

namespace platform {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::pause(int milliseconds)
{
    // Blocks on purpose: the send's pause must not run a nested event loop (no timer tick, no click).
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

FixedClock::FixedClock(QDateTime now)
    : m_now(std::move(now))
{
}

void FixedClock::pause(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    m_paused += milliseconds;
    m_now = m_now.addMSecs(milliseconds);
}

} // namespace platform
