#pragma once

#include "scrollmouse.h"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

// The main window's wheel hook: an event filter on the application, installed at the start of the load
// handler and removed at the end of the unload handler. A filter on the window alone would miss most wheel
// events: Qt delivers them to the widget under the pointer (the grid's viewport, a button), and a widget that
// takes the event stops it there. The application filter sees each event before any widget does; it acts on
// those aimed at a widget of the window and consumes them, so the grid's own scroll area and scroll bar never
// scroll as well and every event moves exactly one row. Events for other windows (a message box, the open
// dialog, a menu's popup) pass untouched. Without a wheel mouse no wheel events arrive and the filter costs one
// type check per event.
class WheelHook : public QObject
{
public:
    // One of the window's controls, in the window's control order.
    struct Control
    {
        QWidget* widget;
        codeScrollMouse::ControlKind kind;
        QString name;
    };
    // `scrollGrid` scrolls the list one row (direction as ScrollMouse_Direction gives it) when the wheel turns
    // over `grid`.
    WheelHook(QWidget& window, std::vector<Control> controls, QWidget* grid, std::function<void(int)> scrollGrid);

    void hook();
    void unhook();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    std::vector<Control> m_controls;
    QWidget* m_grid;
    std::function<void(int)> m_scrollGrid;
    bool m_hooked = false;
};
