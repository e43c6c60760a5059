#include "heldmove.h"

HeldMove::HeldMove()
{
    m_timer.setObjectName(QStringLiteral("TimerRegelsVerplaatsen"));
    m_timer.setInterval(100);
}

void HeldMove::pressed(regels::Richting richting, int fromRow, const QString& starter)
{
    m_fromRow = fromRow;
    m_starter = starter;
    m_timer.start(m_repeater.press(richting));
}

void HeldMove::stop()
{
    m_timer.stop();
    m_repeater.release();
    m_suspended = false;
}
