#include "holdbutton.h"

#include <QMouseEvent>

namespace {

int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

HoldButton::HoldButton(QWidget* parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
}

void HoldButton::mousePressEvent(QMouseEvent* event)
{
    const int number = buttonNumber(event->button());
    // One hold at a time: a second button pressed during a hold changes nothing.
    if (number == 0 || isHeld()) {
        event->accept();
        return;
    }
    m_held = event->button();
    setDown(true);
    event->accept();
    emit mouseDown(number);
}

void HoldButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != m_held)
        return;
    m_held = Qt::NoButton;
    setDown(false);
    emit mouseUp(buttonNumber(event->button()));
}

void HoldButton::mouseMoveEvent(QMouseEvent* event)
{
    // Held is held, inside the button or not: the button's own "down only while inside" does not apply.
    event->accept();
}

void HoldButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is one more press, as on the Windows button.
    mousePressEvent(event);
}

void HoldButton::loseHold()
{
    if (!isHeld())
        return;
    m_held = Qt::NoButton;
    setDown(false);
    emit holdLost();
}

void HoldButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        loseHold();
}

void HoldButton::hideEvent(QHideEvent* event)
{
    QPushButton::hideEvent(event);
    loseHold();
}

bool HoldButton::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate)
        loseHold();
    return QPushButton::event(event);
}
