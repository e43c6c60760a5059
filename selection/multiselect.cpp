#include "multiselect.h"

#include "gridpos.h"
#include "gridtable.h"
#include "kleuren.h"

#include <utility>

namespace codeMultiSelect {

namespace {
std::pair<int, int> rowRange(const GridTable& grid)
{
    int r1 = grid.row();
    int r2 = grid.rowSel();
    if (r1 > r2)
        std::swap(r1, r2);
    return { r1, r2 };
}
} // namespace

bool isSelected(const GridTable& grid, int row)
{
    return grid.rowData(row) == 1;
}

void GridMultiSelect_MouseDown(
    GridTable& grid, int button, int shift, bool& ShiftDown, bool& CtrlDown, const PaintRow& paintRow)
{
    if (button != leftButton)
        return;
    ShiftDown = (shift & shiftMask) != 0;
    CtrlDown = (shift & ctrlMask) != 0;
    GridMultiSelect_SelChange(grid, ShiftDown, CtrlDown, paintRow);
}

void GridMultiSelect_MouseUp(GridTable& grid, int button, bool& ShiftDown, bool& CtrlDown, const PaintRow& paintRow)
{
    if (button == leftButton) {
        const auto [r1, r2] = rowRange(grid);
        const int current = grid.row();
        for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
            if (grid.rowHeight(r) <= 0)
                continue;
            const bool inRange = r >= r1 && r <= r2;
            if (!CtrlDown)
                grid.setRowData(r, inRange ? 1 : 0);
            else if (inRange && (!ShiftDown || r != current))
                grid.setRowData(r, isSelected(grid, r) ? 0 : 1);
        }
        GridMultiSelect_SelChange(grid, ShiftDown, CtrlDown, paintRow);
        ShiftDown = false;
        CtrlDown = false;
        // From here on the selection lives only in the flags; the grid's own block shrinks to the
        // current cell, so its highlight does not hide the rows the official deselected.
        grid.setRowSel(grid.row());
        grid.setColSel(grid.col());
    } else if (button == rightButton) {
        const int r = grid.mouseRow();
        // A right-click on the header or below the last row is no click on a line: it leaves the
        // selection alone rather than shrinking it to the current row.
        if (r < grid.fixedRows() || r >= grid.rows())
            return;
        // A right-click on a selected row keeps the whole selection, ready for a context action.
        if (isSelected(grid, r))
            return;
        grid.setRow(r);
        grid.setRowSel(r);
        GridMultiSelect_SelChange(grid, ShiftDown, CtrlDown, paintRow);
    }
}

void GridMultiSelect_KeyDown(int shift, bool& ShiftDown, bool& CtrlDown)
{
    ShiftDown = (shift & shiftMask) != 0;
    CtrlDown = (shift & ctrlMask) != 0;
}

void GridMultiSelect_KeyUp(bool& ShiftDown, bool& CtrlDown)
{
    ShiftDown = false;
    CtrlDown = false;
}

void GridMultiSelect_SelChange(GridTable& grid, bool ShiftDown, bool CtrlDown, const PaintRow& paintRow)
{
    if (!ShiftDown && !CtrlDown) {
        const auto [r1, r2] = rowRange(grid);
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            grid.setRowData(r, grid.rowHeight(r) > 0 && r >= r1 && r <= r2 ? 1 : 0);
    }
    GridMultiSelect_Refresh(grid, paintRow);
}

void GridMultiSelect_Refresh(GridTable& grid, const PaintRow& paintRow)
{
    grid.setRedraw(false);
    const codeGridPos::GridPos pos = codeGridPos::GetGridPos(grid);
    if (paintRow) {
        // A row whose flag and colours did not change since the last repaint still shows its flag: only
        // the others are looked at, so a click on a list of 32 767 lines paints in no time.
        const GridTable::RowsToRepaint rows = grid.takeRowsToRepaint();
        if (rows.all) {
            for (int r = grid.fixedRows(); r < grid.rows(); ++r)
                paintRow(grid, r);
        } else {
            for (const int r : rows.rows) {
                if (r >= grid.fixedRows() && r < grid.rows())
                    paintRow(grid, r);
            }
        }
        // The rows just painted show their flags: their new colours need no look next time.
        grid.takeRowsToRepaint();
    }
    codeGridPos::SetGridPos(grid, pos, true);
    grid.setRedraw(true);
    // The scroll position goes back once drawing is on again, so the view ends where it was.
    codeGridPos::SetGridPos(grid, pos, false);
}

void paintSelectionRow(GridTable& grid, int row)
{
    if (row < grid.fixedRows() || row >= grid.rows())
        return;
    const quint32 current = grid.backColorAt(row, grid.fixedCols());
    const quint32 target = isSelected(grid, row) ? colours::selectedRow : colours::unselectedRow;
    // Only the first cell is looked at: a row is always painted whole, and skipping the rows that are
    // right already keeps a repaint of a long list down to the rows that changed.
    if (target == current)
        return;
    grid.setRowColours(row, grid.fixedCols(), target, codeKleuren::ContrastKleur(target));
}

} // namespace codeMultiSelect
