#pragma once

#include <QtGlobal>

class GridTable;

// codeGridPos: the grid's current cell, the other end of its range and its scroll position, saved
// before a repaint (which moves the current cell row by row) and put back after it.
namespace codeGridPos {

struct GridPos
{
    qint32 Row = 0;
    qint32 RowSel = 0;
    qint32 TopRow = 0;
    qint32 Col = 0;
    qint32 ColSel = 0;
    qint32 LeftCol = 0;

    friend bool operator==(const GridPos&, const GridPos&) = default;
};

GridPos GetGridPos(const GridTable& grid);

// With selection: Row, Col, RowSel, ColSel, in that order (setting Row or Col collapses the range, so the
// range ends come last). Without: TopRow, LeftCol. A value the grid refuses is skipped.
void SetGridPos(GridTable& grid, const GridPos& pos, bool selection);

} // namespace codeGridPos
