#pragma once

#include <QtGlobal>
#include <functional>

class GridTable;

// codeMultiSelect: the ring official's row selection on the visible grid. The grid itself highlights one
// block of cells; the official picks any set of whole rows, so every row carries its own selected flag
// (RowData 1 = selected, any other value = not selected) and these handlers keep the flags with the
// usual click, Shift-click and Ctrl-click rules, then repaint the rows whose colour no longer matches.
// The commands that act on selected rows read the same flags.
//
// ShiftDown and CtrlDown are the main window's record of the modifiers held at the last left press or
// key press in the grid; the handlers update them in place. Painting one row is the main window's job
// (GridMultiSelect_PaintRow), passed in as a callback; paintSelectionRow is what it does.
//
// The handlers change the grid's current cell and range themselves (the repaint walks the rows, the end
// of a left release collapses the range); the grid must not report those as the user's selection changes.
namespace codeMultiSelect {

using PaintRow = std::function<void(GridTable& grid, int row)>;

// Shift state bits and buttons as the grid reports them.
inline constexpr int shiftMask = 1;
inline constexpr int ctrlMask = 2;
inline constexpr int leftButton = 1;
inline constexpr int rightButton = 2;

void GridMultiSelect_MouseDown(
    GridTable& grid, int button, int shift, bool& ShiftDown, bool& CtrlDown, const PaintRow& paintRow);
void GridMultiSelect_MouseUp(GridTable& grid, int button, bool& ShiftDown, bool& CtrlDown, const PaintRow& paintRow);
void GridMultiSelect_KeyDown(int shift, bool& ShiftDown, bool& CtrlDown);
void GridMultiSelect_KeyUp(bool& ShiftDown, bool& CtrlDown);
// Without a modifier the flags follow the grid's range; in every case the rows are repainted.
void GridMultiSelect_SelChange(GridTable& grid, bool ShiftDown, bool CtrlDown, const PaintRow& paintRow);
// Repaints the non-fixed rows and leaves current cell, range, top row and left column as they were. The
// paint callback sees only the rows whose flag or colours changed since the last repaint (every row the
// first time, and after the grid was reshaped): it must paint a row from its flag and colours alone, as
// paintSelectionRow does, so that the rows left out would not change anyway.
void GridMultiSelect_Refresh(GridTable& grid, const PaintRow& paintRow);

// Paints one non-fixed row in the colours of its flag, unless its first non-fixed cell shows that it
// already has them. The current cell stays where it is.
void paintSelectionRow(GridTable& grid, int row);

bool isSelected(const GridTable& grid, int row);

} // namespace codeMultiSelect
