#pragma once

#include "keyboardselection.h"
#include "typeahead.h"

#include <Qt>

class GridTable;

// The official's row selection on the ring's list, from the mouse and the keyboard: a click selects a row, a
// Shift-click the rows up to it, a Ctrl-click adds or removes one (the modifiers held at the press count until
// the release); Shift, Alt and Ctrl+Space do the same from the keys, and digits typed jump to a back number.
// It keeps the rows' selected flags and repaints the rows whose colour changed; the commands that act on the
// selected rows (NG, the swap) read the same flags.
class RowSelection
{
public:
    void mouseDown(GridTable& grid, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseUp(GridTable& grid, Qt::MouseButton button);
    void keyDown(Qt::KeyboardModifiers modifiers);
    void keyUp();
    // The grid's current cell or range changed.
    void selChange(GridTable& grid);
    // The flags repainted after the list changed under them.
    void refresh(GridTable& grid);
    // One row the current and only selected one, as a plain click on it makes it; a row added, as a Ctrl-click.
    void selectRow(GridTable& grid, int row);
    void addRow(GridTable& grid, int row);

    void extend(GridTable& grid, KeyboardSelection::Step step);
    void moveCurrent(GridTable& grid, KeyboardSelection::Step step);
    void toggleCurrent(GridTable& grid);
    // A digit typed at `timestamp` (ms): the starter the digits typed so far name becomes the only selected
    // row; false when there is none.
    bool typeNumber(GridTable& grid, QChar digit, qint64 timestamp);

    // The modifiers held at the last press in the grid, until its release.
    bool shiftDown() const { return m_shiftDown; }
    bool ctrlDown() const { return m_ctrlDown; }

private:
    KeyboardSelection m_keyboard;
    TypeAhead m_typeAhead;
    bool m_shiftDown = false;
    bool m_ctrlDown = false;
};
