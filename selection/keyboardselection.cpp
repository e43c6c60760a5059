#include "keyboardselection.h"

#include "gridtable.h"

#include <algorithm>

int KeyboardSelection::target(const GridTable& grid, int from, Step step)
{
    const int first = grid.fixedRows();
    const int last = grid.rows() - 1;
    if (last < first)
        return from;
    const int page = std::max(1, grid.pageRows());
    int row = from;
    switch (step) {
    case Step::LineUp:
        row = from - 1;
        break;
    case Step::LineDown:
        row = from + 1;
        break;
    case Step::PageUp:
        row = from - page;
        break;
    case Step::PageDown:
        row = from + page;
        break;
    case Step::First:
        row = first;
        break;
    case Step::Last:
        row = last;
        break;
    }
    return std::clamp(row, first, last);
}

int KeyboardSelection::anchor(const GridTable& grid) const
{
    // The extension goes on only while the current row is where it left it and both its ends are still
    // selected: a click, a Ctrl-click or a move since then begins a new one from the current row.
    // (A row of height 0 takes no flag.)
    auto holds = [&grid](int row) { return codeMultiSelect::isSelected(grid, row) || grid.rowHeight(row) <= 0; };
    const bool goesOn = m_extended == grid.row() && m_anchor >= grid.fixedRows() && m_anchor < grid.rows()
        && holds(m_anchor) && holds(m_extended);
    return goesOn ? m_anchor : grid.row();
}

void KeyboardSelection::makeCurrent(GridTable& grid, int row)
{
    // Setting Row collapses the grid's range onto the new current cell (also when the row stays): nothing is
    // highlighted but what the flags say.
    grid.setRow(row);
    grid.showRow(row);
}

int KeyboardSelection::extend(GridTable& grid, Step step, const codeMultiSelect::PaintRow& paintRow)
{
    if (grid.rows() <= grid.fixedRows())
        return grid.row();
    const int from = anchor(grid);
    const int row = target(grid, grid.row(), step);
    makeCurrent(grid, row);
    const int top = std::min(from, row);
    const int bottom = std::max(from, row);
    // As a Shift-click: the range from the anchor becomes the whole selection; rows of height 0 keep their flag.
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (grid.rowHeight(r) > 0)
            grid.setRowData(r, r >= top && r <= bottom ? 1 : 0);
    }
    codeMultiSelect::GridMultiSelect_Refresh(grid, paintRow);
    m_anchor = from;
    m_extended = row;
    return row;
}

int KeyboardSelection::moveCurrent(GridTable& grid, Step step, const codeMultiSelect::PaintRow& paintRow)
{
    if (grid.rows() <= grid.fixedRows())
        return grid.row();
    const int row = target(grid, grid.row(), step);
    makeCurrent(grid, row);
    codeMultiSelect::GridMultiSelect_Refresh(grid, paintRow);
    m_extended = -1;
    return row;
}

void KeyboardSelection::toggleCurrent(GridTable& grid, const codeMultiSelect::PaintRow& paintRow)
{
    const int row = grid.row();
    if (row < grid.fixedRows() || row >= grid.rows())
        return;
    makeCurrent(grid, row);
    // As a Ctrl-click: any value but 1 counts as not selected and becomes 1.
    grid.setRowData(row, codeMultiSelect::isSelected(grid, row) ? 0 : 1);
    codeMultiSelect::GridMultiSelect_Refresh(grid, paintRow);
    m_extended = -1;
}

void KeyboardSelection::select(GridTable& grid, int row, const codeMultiSelect::PaintRow& paintRow)
{
    if (row < grid.fixedRows() || row >= grid.rows())
        return;
    makeCurrent(grid, row);
    codeMultiSelect::GridMultiSelect_SelChange(grid, false, false, paintRow);
    m_extended = -1;
}
