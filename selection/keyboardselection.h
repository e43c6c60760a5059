#pragma once

#include "multiselect.h"

class GridTable;

// The official's row selection from the keyboard, by the same rules as the mouse's. Shift with the arrow keys
// (or Page Up, Page Down, Home, End) moves the current row and makes the rows from where the extension began
// to the current row the whole selection, as a Shift-click on that row does; Ctrl+Space adds the current row
// to the selection or takes it out, as a Ctrl-click on it does; Alt with the arrow keys moves the current row
// and leaves the selection as it is, so that Ctrl+Space can gather rows that do not lie together (Ctrl with
// the arrow keys moves the starter itself); a jump (a starter's back number typed) selects its row alone, as
// a plain click does.
//
// Each leaves the grid's own range collapsed onto the current cell: the rows painted green are exactly the
// rows whose flag is set, and so exactly the rows that NG and the swap act on. (The grid control by itself
// widened its highlighted block with Shift and the arrow keys, over single cells whose rows NG then ignored.)
class KeyboardSelection
{
public:
    // Where a key takes the current row.
    enum class Step { LineUp, LineDown, PageUp, PageDown, First, Last };

    // The row a step from `from` reaches: within the data rows, a page being the rows the view shows.
    static int target(const GridTable& grid, int from, Step step);

    // Shift+key: the current row moves a step; the rows from the anchor to it become the selection. The
    // anchor is the row that was current when the official began to extend (the row of the last click,
    // jump or move). Returns the new current row.
    int extend(GridTable& grid, Step step, const codeMultiSelect::PaintRow& paintRow);
    // Alt+key: the current row moves a step; the selection stays.
    int moveCurrent(GridTable& grid, Step step, const codeMultiSelect::PaintRow& paintRow);
    // Ctrl+Space: the current row's flag is toggled; the other rows keep theirs.
    void toggleCurrent(GridTable& grid, const codeMultiSelect::PaintRow& paintRow);
    // A jump to a row: it becomes the current and only selected row, scrolled into sight.
    void select(GridTable& grid, int row, const codeMultiSelect::PaintRow& paintRow);

    // The row an extension grows from: the anchor while the current row is where the last extension left
    // it and both ends are still selected, else the current row.
    int anchor(const GridTable& grid) const;
    // A click or another command changed the selection: the next extension begins at the current row.
    void forget() { m_extended = -1; }

private:
    void makeCurrent(GridTable& grid, int row);

    int m_anchor = -1;
    // The current row as the last extension left it; a click, an arrow key or a move elsewhere ends the
    // extension, and the next one grows from the new current row.
    int m_extended = -1;
};
