#pragma once

#include "keyboardselection.h"
#include "regels.h"

#include <QObject>
#include <optional>

class FlexGrid;
class QKeyEvent;
class QTimer;
class QWidget;
class Station;

// The main window's keys beyond its menu shortcuts, turned into the station's own commands so that they keep
// its rules, permissions and ends. Ctrl+Up and Ctrl+Down move the current starter as the move buttons do: the
// press moves once and starts the station's repeat, the release ends it, and so do the window losing the focus
// or the activation; the key's own repeats are swallowed, so a held key is one run, as a held button is (the
// station itself ends a run when the command is disabled or the office's list replaces the ring's). In the
// grid: Shift with the arrow keys, Page Up, Page Down, Home and End extends the selection, Alt with them moves
// the current row alone, Ctrl+Space adds or removes the current row, and digits jump to a starter's back
// number.
//
// Ctrl+Up and Ctrl+Down are the shortcuts the Bewerken menu shows for its move items; their key presses are
// taken here rather than as shortcuts, which fire once per press and know no release.
class KeyCommands : public QObject
{
    Q_OBJECT

public:
    KeyCommands(QWidget* window, FlexGrid* grid, Station& station, QObject* parent = nullptr);
    ~KeyCommands() override;

    // A held key's release waits this long (ms) for the press that would show it to be the key's own repeat.
    static constexpr int repeatWait = 50;

    // A move started from the keyboard is running: until its key is released, the window loses the focus, or
    // the station ends it.
    bool isMoving() const;

    // The move a key stands for: Ctrl+Up or Ctrl+Down, no other modifier.
    static std::optional<regels::Richting> moveOf(const QKeyEvent* event);
    // Where a navigation key takes the current row; nothing for other keys.
    static std::optional<KeyboardSelection::Step> stepOf(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool inWindow(QObject* watched) const;
    bool keyPress(QObject* target, QKeyEvent* event);
    bool keyRelease(QKeyEvent* event);
    void endMove();
    // The held key counts as let go: its repeats are no longer swallowed, and the move ends.
    void letGo();

    QWidget* m_window;
    FlexGrid* m_grid;
    Station& m_station;
    // The arrow key pressed with Ctrl: its presses (the key's repeats) are swallowed until it is released,
    // also after the run ended or Ctrl was let go, so they neither start another run nor move the grid's row.
    int m_heldKey = 0;
    bool m_moving = false;
    // The held key's release, waiting for a press that shows it was a repeat.
    QTimer* m_releaseTimer = nullptr;
};
