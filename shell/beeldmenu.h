#pragma once

#include <QObject>
#include <functional>

class BoardCommands;
class GridZoom;
class LiveCommands;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class Station;

// The main window's Beeld menu: the list's size (Kleiner and Groter, the "a" buttons' steps, and Passend, the fit
// of the names to the window), the sunlight mode, then the rider board's commands and the live page's. It keeps
// the board's QR code on the live page's address, and tells the window when the page's state changed, for the
// status line. The sunlight restyles the whole window, so the window switches it; the menu only asks.
class BeeldMenu : public QObject
{
    Q_OBJECT

public:
    // `zonlicht` switches the sunlight mode as the official asks; `keyboardHome` gives the keyboard back to the
    // official's list after a zoom step and after the board opened or closed.
    BeeldMenu(QMenuBar& bar, QWidget& window, Station& station, GridZoom& zoom, std::function<void(bool)> zonlicht,
        std::function<void()> keyboardHome);

    // The Zonlicht item shows the mode the window is in.
    void showZonlicht(bool on);
    BoardCommands& board() const { return *m_board; }
    LiveCommands& live() const { return *m_live; }
    // The board and the live page go with the window: its clients see the connection lost, not a list that
    // stands still.
    void close();

signals:
    void liveChanged();

private:
    QAction* m_zonlicht = nullptr;
    BoardCommands* m_board = nullptr;
    LiveCommands* m_live = nullptr;
};
