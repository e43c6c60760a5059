#include "scrollmouse.h"

#include "gridtable.h"

namespace codeScrollMouse {

namespace {

// The vertical movement of a delta. On X11 Qt reports the wheel turned with Alt held as sideways
// movement, so a delta along one axis only counts whichever axis it is on.
int verticalMovement(QPoint delta)
{
    return delta.y() != 0 ? delta.y() : delta.x();
}

} // namespace

int ScrollMouse_Direction(QPoint angleDelta, QPoint pixelDelta)
{
    const int delta = !angleDelta.isNull() ? verticalMovement(angleDelta) : verticalMovement(pixelDelta);
    return delta > 0 ? 1 : delta < 0 ? -1 : 0;
}

bool ScrollMouse_PointInWindow(const ScreenRect& rect, int x, int y)
{
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

WheelDecision ScrollMouse_ScrollUnderPointer(const std::vector<WheelControl>& controls, int direction, int x, int y)
{
    WheelDecision decision;
    if (direction == 0)
        return decision;
    for (size_t i = 0; i < controls.size(); ++i) {
        const WheelControl& control = controls[i];
        if (!control.rect || !control.visible || !ScrollMouse_PointInWindow(*control.rect, x, y))
            continue;
        switch (control.kind) {
        case ControlKind::Grid:
            // The grid takes the focus even when it cannot move any further.
            return { WheelAction::ScrollGrid, int(i), control.enabled };
        case ControlKind::PictureBox:
            // A picture box scrolls through the window's scroll bar "VScroll1", when it has one.
            for (size_t j = 0; j < controls.size(); ++j) {
                if (controls[j].kind == ControlKind::VScrollBar
                    && controls[j].name.compare(QLatin1String("VScroll1"), Qt::CaseInsensitive) == 0)
                    return { WheelAction::ScrollBar, int(j), false };
            }
            return decision;
        case ControlKind::VScrollBar:
            return { WheelAction::ScrollBar, int(i), false };
        case ControlKind::ListBox:
        case ControlKind::TextBox:
        case ControlKind::ComboBox:
            if (!control.enabled)
                return decision;
            return { WheelAction::FocusOnly, int(i), true };
        case ControlKind::Other:
            break;
        }
    }
    return decision;
}

bool ScrollMouse_ScrollGrid(GridTable& grid, int direction)
{
    const int before = grid.topRow();
    const int target = direction > 0 ? before - 1 : before + 1;
    // A top row the grid refuses (above the first line, past the last full page) leaves the view alone.
    return grid.setTopRow(target) && grid.topRow() != before;
}

int ScrollMouse_ScrollBar(int value, int smallChange, int min, int max, int direction)
{
    if (direction <= 0) {
        const long long next = (long long)value + smallChange;
        return next > max ? max : int(next);
    }
    const long long next = (long long)value - smallChange;
    return next < min ? min : int(next);
}

} // namespace codeScrollMouse
