// Row selection on grid(1) and mouse-wheel scrolling of the main window.
//
// Every grid event works on grid(1), whichever grid raised it: only grid(1) is ever shown.
//
// The wheel hook is an event filter on the application, installed at the start of the load handler and
// removed at the end of the unload handler. A filter on the window alone would miss most wheel events:
// Qt delivers them to the widget under the pointer (the grid's viewport, a button), and a widget that
// takes the event stops it there. The application filter sees each event before any widget does; it
// acts on those aimed at a widget of this window and consumes them, so the grid's own scroll area and
// scroll bar never scroll as well and every event moves exactly one row. Events for other windows (a
// message box, the open dialog, a menu's popup) pass untouched. Without a wheel mouse no wheel events
// arrive and the filter costs one type check per event.
#include "frmbaldovenaar.h"

#include "flexgrid.h"
#include "multiselect.h"
#include "scrollmouse.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <QWidget>
#include <vector>

namespace {

codeScrollMouse::WheelControl describe(QWidget* widget, codeScrollMouse::ControlKind kind, const QString& name)
{
    codeScrollMouse::WheelControl control;
    control.kind = kind;
    control.name = name;
    if (!widget)
        return control;
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    // As the window system measures a window: right and bottom one past the last pixel.
    control.rect = codeScrollMouse::ScreenRect { topLeft.x(), topLeft.y(), topLeft.x() + widget->width(),
        topLeft.y() + widget->height() };
    control.visible = widget->isVisible();
    control.enabled = widget->isEnabled();
    return control;
}

} // namespace

void FrmBaldovenaar::grid_MouseDown(int, int button, int shift, int, int)
{
    codeMultiSelect::GridMultiSelect_MouseDown(*m_grid1Table, button, shift, m_shiftDown, m_ctrlDown,
        [this](GridTable& grid, int row) { GridMultiSelect_PaintRow(grid, row); });
}

void FrmBaldovenaar::grid_MouseUp(int, int button, int, int, int)
{
    codeMultiSelect::GridMultiSelect_MouseUp(*m_grid1Table, button, m_shiftDown, m_ctrlDown,
        [this](GridTable& grid, int row) { GridMultiSelect_PaintRow(grid, row); });
}

void FrmBaldovenaar::grid_KeyDown(int, int, int shift)
{
    codeMultiSelect::GridMultiSelect_KeyDown(shift, m_shiftDown, m_ctrlDown);
}

void FrmBaldovenaar::grid_KeyUp(int, int, int)
{
    codeMultiSelect::GridMultiSelect_KeyUp(m_shiftDown, m_ctrlDown);
}

void FrmBaldovenaar::grid_SelChange(int)
{
    codeMultiSelect::GridMultiSelect_SelChange(*m_grid1Table, m_shiftDown, m_ctrlDown,
        [this](GridTable& grid, int row) { GridMultiSelect_PaintRow(grid, row); });
}

void FrmBaldovenaar::GridMultiSelect_PaintRow(GridTable& grid, int row)
{
    codeMultiSelect::paintSelectionRow(grid, row);
}

void FrmBaldovenaar::GridMultiSelect_Refresh()
{
    codeMultiSelect::GridMultiSelect_Refresh(
        *m_grid1Table, [this](GridTable& grid, int row) { GridMultiSelect_PaintRow(grid, row); });
}

void FrmBaldovenaar::ScrollMouse_HookForm()
{
    // Hooking twice would only install the same filter again; once is enough.
    if (m_wheelHooked || !qApp)
        return;
    qApp->installEventFilter(this);
    m_wheelHooked = true;
}

void FrmBaldovenaar::ScrollMouse_UnhookForm()
{
    if (!m_wheelHooked || !qApp)
        return;
    qApp->removeEventFilter(this);
    m_wheelHooked = false;
}

bool FrmBaldovenaar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    const auto* target = static_cast<QWidget*>(watched);
    if (target->window() != this)
        return QMainWindow::eventFilter(watched, event);

    const auto* wheel = static_cast<QWheelEvent*>(event);
    // The modifiers are ignored: Shift, Ctrl or Alt with the wheel scroll like the plain wheel.
    const int direction = codeScrollMouse::ScrollMouse_Direction(wheel->angleDelta(), wheel->pixelDelta());
    const QPoint at = wheel->globalPosition().toPoint();

    // The window's controls in its control order; labels, lines and timers are no windows of their own
    // and are left out, as are grid(2) and grid(3), which have no widget at all.
    using codeScrollMouse::ControlKind;
    const std::vector<std::pair<QWidget*, codeScrollMouse::WheelControl>> controls = {
        { m_btnKnop[5], describe(m_btnKnop[5], ControlKind::Other, QStringLiteral("btnKnop")) },
        { m_btnKnop[1], describe(m_btnKnop[1], ControlKind::Other, QStringLiteral("btnKnop")) },
        { m_picture1, describe(m_picture1, ControlKind::PictureBox, QStringLiteral("Picture1")) },
        { m_btnKnop[3], describe(m_btnKnop[3], ControlKind::Other, QStringLiteral("btnKnop")) },
        { m_btnKnop[0], describe(m_btnKnop[0], ControlKind::Other, QStringLiteral("btnKnop")) },
        { m_btnKnop[2], describe(m_btnKnop[2], ControlKind::Other, QStringLiteral("btnKnop")) },
        { m_btnKnop[4], describe(m_btnKnop[4], ControlKind::Other, QStringLiteral("btnKnop")) },
        { m_btnVerplaatsregels[1],
            describe(m_btnVerplaatsregels[1], ControlKind::Other, QStringLiteral("btnVerplaatsregels")) },
        { m_grid1, describe(m_grid1, ControlKind::Grid, QStringLiteral("grid")) },
        { m_picTemp, describe(m_picTemp, ControlKind::PictureBox, QStringLiteral("picTemp")) },
        { m_btnVerplaatsregels[0],
            describe(m_btnVerplaatsregels[0], ControlKind::Other, QStringLiteral("btnVerplaatsregels")) },
    };
    std::vector<codeScrollMouse::WheelControl> described;
    described.reserve(controls.size());
    for (const auto& control : controls)
        described.push_back(control.second);

    const codeScrollMouse::WheelDecision decision
        = codeScrollMouse::ScrollMouse_ScrollUnderPointer(described, direction, at.x(), at.y());
    if (decision.control >= 0) {
        QWidget* control = controls[size_t(decision.control)].first;
        if (decision.giveFocus)
            control->setFocus(Qt::MouseFocusReason);
        if (decision.action == codeScrollMouse::WheelAction::ScrollGrid && control == m_grid1 && m_grid1->table())
            codeScrollMouse::ScrollMouse_ScrollGrid(*m_grid1->table(), direction);
    }
    return true;
}
