#include "wheelhook.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

namespace {

codeScrollMouse::WheelControl describe(const WheelHook::Control& control)
{
    codeScrollMouse::WheelControl described;
    described.kind = control.kind;
    described.name = control.name;
    QWidget* widget = control.widget;
    if (!widget)
        return described;
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    // As the window system measures a window: right and bottom one past the last pixel.
    described.rect = codeScrollMouse::ScreenRect { topLeft.x(), topLeft.y(), topLeft.x() + widget->width(),
        topLeft.y() + widget->height() };
    described.visible = widget->isVisible();
    described.enabled = widget->isEnabled();
    return described;
}

} // namespace

WheelHook::WheelHook(QWidget& window, std::vector<Control> controls, QWidget* grid, std::function<void(int)> scrollGrid)
    : QObject(&window)
    , m_window(window)
    , m_controls(std::move(controls))
    , m_grid(grid)
    , m_scrollGrid(std::move(scrollGrid))
{
}

void WheelHook::hook()
{
    // Hooking twice would only install the same filter again; once is enough.
    if (m_hooked || !qApp)
        return;
    qApp->installEventFilter(this);
    m_hooked = true;
}

void WheelHook::unhook()
{
    if (!m_hooked || !qApp)
        return;
    qApp->removeEventFilter(this);
    m_hooked = false;
}

bool WheelHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return false;
    const auto* target = static_cast<QWidget*>(watched);
    if (target->window() != &m_window)
        return false;

    const auto* wheel = static_cast<QWheelEvent*>(event);
    // The modifiers are ignored: Shift, Ctrl or Alt with the wheel scroll like the plain wheel.
    const int direction = codeScrollMouse::ScrollMouse_Direction(wheel->angleDelta(), wheel->pixelDelta());
    const QPoint at = wheel->globalPosition().toPoint();

    std::vector<codeScrollMouse::WheelControl> described;
    described.reserve(m_controls.size());
    for (const Control& control : m_controls)
        described.push_back(describe(control));

    const codeScrollMouse::WheelDecision decision
        = codeScrollMouse::ScrollMouse_ScrollUnderPointer(described, direction, at.x(), at.y());
    if (decision.control >= 0) {
        QWidget* control = m_controls[size_t(decision.control)].widget;
        if (decision.giveFocus)
            control->setFocus(Qt::MouseFocusReason);
        if (decision.action == codeScrollMouse::WheelAction::ScrollGrid && control == m_grid)
            m_scrollGrid(direction);
    }
    return true;
}
