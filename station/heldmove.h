#pragma once

#include "moverepeater.h"
#include "regels.h"

#include <QString>
#include <QTimer>
#include <optional>

// A move button or key held down: the line moves at the press, then again at the repeat's pace (300, 200, then
// every 100 ms) until the release, which the station turns into one step of the history and one line of the
// day log from where the run began. A release that may be the key's own repeat suspends the steps until the
// key's next press or its real release shows which it was.
class HeldMove
{
public:
    HeldMove();

    // The timer whose ticks make the repeated steps.
    QTimer& timer() { return m_timer; }
    const QTimer& timer() const { return m_timer; }

    // The press, after its first step: the run began on `fromRow`, with this starter.
    void pressed(regels::Richting richting, int fromRow, const QString& starter);
    // A repeated step was made: the next comes at the repeat's pace.
    void stepped() { m_timer.setInterval(m_repeater.repeated()); }
    // The run ends: no more steps.
    void stop();
    std::optional<regels::Richting> held() const { return m_repeater.held(); }

    void suspend() { m_suspended = m_suspended || m_repeater.held().has_value(); }
    void resume() { m_suspended = false; }
    bool isSuspended() const { return m_suspended; }

    int fromRow() const { return m_fromRow; }
    QString starter() const { return m_starter; }

private:
    QTimer m_timer;
    MoveRepeater m_repeater;
    bool m_suspended = false;
    int m_fromRow = 0;
    QString m_starter;
};
