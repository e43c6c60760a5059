#include "gridpos.h"

#include "gridtable.h"

namespace codeGridPos {

GridPos GetGridPos(const GridTable& grid)
{
    GridPos pos;
    pos.Row = grid.row();
    pos.RowSel = grid.rowSel();
    pos.TopRow = grid.topRow();
    pos.Col = grid.col();
    pos.ColSel = grid.colSel();
    pos.LeftCol = grid.leftCol();
    return pos;
}

void SetGridPos(GridTable& grid, const GridPos& pos, bool selection)
{
    if (selection) {
        grid.setRow(pos.Row);
        grid.setCol(pos.Col);
        grid.setRowSel(pos.RowSel);
        grid.setColSel(pos.ColSel);
    } else {
        grid.setTopRow(pos.TopRow);
        grid.setLeftCol(pos.LeftCol);
    }
}

} // namespace codeGridPos
