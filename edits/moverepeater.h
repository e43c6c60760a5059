#pragma once

#include "regels.h"

#include <optional>

// The hold-to-repeat of a move button: a press moves the line once and then again every 300, 200 and
// from there on every 100 milliseconds, until the button is released. It only counts: which way the held
// button moves and when the next move is due; the station's timer asks it and makes the moves, so the
// rule is tried without waiting.
class MoveRepeater
{
public:
    // A press: the way it moves; returns the wait before the first repeat.
    int press(regels::Richting richting);
    // A repeat made: returns the wait before the next one.
    int repeated();
    // The release (or a lost hold, a list replaced under the held line): no more repeats.
    void release() { m_held.reset(); }

    std::optional<regels::Richting> held() const { return m_held; }
    int interval() const { return m_interval; }

private:
    std::optional<regels::Richting> m_held;
    int m_interval = regels::firstRepeatInterval;
};
