#pragma once

class GridTable;

// A control that shows a grid's table on screen and keeps in it what the official does to the view: the scroll
// position, the page size, the current cell and the selection, as the Windows grid control kept them in its
// own properties. The station hands the ring's list to the one control that shows it, and to nothing else.
class GridControl
{
public:
    virtual void setTable(GridTable* table) = 0;

protected:
    ~GridControl() = default;
};
