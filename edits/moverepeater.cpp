#include "moverepeater.h"

int MoveRepeater::press(regels::Richting richting)
{
    m_held = richting;
    m_interval = regels::firstRepeatInterval;
    return m_interval;
}

int MoveRepeater::repeated()
{
    m_interval = regels::nextRepeatInterval(m_interval);
    return m_interval;
}
