#pragma once

#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

class GridTable;

// codeScrollMouse: what a turn of the mouse wheel does over a window of the station. The grid control
// has no wheel support of its own, so the window catches every wheel event, finds the control under
// the pointer and, for a grid, gives it the focus and scrolls it by exactly one row, whatever the size
// of the turn. Buttons, labels and hidden controls are passed over; a container such as the button strip
// ends the search without scrolling anything.
//
// Here are only the rules, over a plain description of the window's controls; the window collects the
// description from its widgets and carries out the decision (focus, scroll).
namespace codeScrollMouse {

enum class ControlKind { Grid, PictureBox, VScrollBar, ListBox, TextBox, ComboBox, Other };

// A control's rectangle in screen pixels; right and bottom lie one past the last pixel, and a point on
// them still counts as inside, as the window system measured it.
struct ScreenRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct WheelControl
{
    ControlKind kind = ControlKind::Other;
    QString name;
    // Controls that are not windows of their own (labels, lines, timers) have no rectangle and are never
    // under the pointer.
    std::optional<ScreenRect> rect;
    bool visible = false;
    bool enabled = false;
};

enum class WheelAction { Nothing, ScrollGrid, ScrollBar, FocusOnly };

struct WheelDecision
{
    WheelAction action = WheelAction::Nothing;
    int control = -1; // index of the control acted on
    bool giveFocus = false;
};

// +1 for a turn away from the user, -1 towards the user, 0 for no movement. The angle delta counts; a
// device that only reports pixels is read from its pixel delta. A delta along one axis only is read as
// vertical movement whichever axis it is on (Alt turns the wheel sideways on X11), so every step of the
// wheel scrolls, whatever key is held; with both axes the vertical one counts.
int ScrollMouse_Direction(QPoint angleDelta, QPoint pixelDelta);

bool ScrollMouse_PointInWindow(const ScreenRect& rect, int x, int y);

// Walks the controls in the window's control order and decides what the wheel does at screen point
// (x, y). direction as ScrollMouse_Direction gives it; 0 does nothing.
WheelDecision ScrollMouse_ScrollUnderPointer(const std::vector<WheelControl>& controls, int direction, int x, int y);

// One row up (direction > 0) or down; at either end the view stays where it is. Current cell and
// selection do not change. True when the top row moved.
bool ScrollMouse_ScrollGrid(GridTable& grid, int direction);

// A scroll bar's new value: one SmallChange down (direction <= 0) or up, kept within Min and Max.
int ScrollMouse_ScrollBar(int value, int smallChange, int min, int max, int direction);

} // namespace codeScrollMouse
