#pragma once

#include <QObject>

class FlexGrid;
class QWidget;
class Station;
class StatusLine;

// The running order's size in the main window: the grid and the status line below it laid out in the window's
// client area, the list's font and its columns worked out at the window's outer width and the station's zoom
// (adjust_grid, also the station's answer to layoutNeeded()), the "a" buttons' steps, and the fit of the names to
// the window (Beeld > Passend). Without a saved zoom the first list shown is fitted to the window once it is on
// screen; that fit is the station's own, not one the official chose, so it follows the window to a new size until
// the official picks a zoom. The station keeps the zoom; this class decides it from what only a window knows, the
// fonts and the screen.
class GridZoom : public QObject
{
public:
    // `client` is the window's client area, `measuring` the hidden picture whose font measures the names.
    GridZoom(
        QWidget& window, QWidget& client, FlexGrid& grid, QWidget& measuring, StatusLine& statusLine, Station& station);

    // The layout at the window's width and the station's zoom.
    void adjust_grid();
    // One of the "a" buttons: the zoom one step smaller or larger, kept for the first list.
    void zoomStep(double factor);
    // Beeld > Passend: the zoom at which the names of nine in ten starters fit their columns at the window's
    // width, and the rows are at least the floor that reads from two metres on this screen.
    void passend();
    // The same fit, as the station's own (after the sunlight changed the letters).
    void fit();
    // No zoom was saved: the first list shown is sized to fit the window.
    void setFitPending(bool pending) { m_fitPending = pending; }
    void fitOnFirstList();
    // The window took a new size: the station's own fit follows it.
    void windowResized();

private:
    QWidget& m_window;
    QWidget& m_client;
    FlexGrid& m_grid;
    QWidget& m_measuring;
    StatusLine& m_statusLine;
    Station& m_station;

    bool m_fitPending = false;
    // The zoom is the station's own fit, not one the official chose: a new size of the window (maximised
    // once it is on screen) is fitted again.
    bool m_autoFit = false;
    bool m_refitQueued = false;
};
