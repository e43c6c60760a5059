#include "regels.h"

#include "columns.h"
#include "gridtable.h"
#include "multiselect.h"

#include <array>
#include <optional>

namespace regels {

namespace {

// The two selected data rows, top to bottom; nothing unless there are exactly two.
std::optional<std::array<int, 2>> selectedPair(const GridTable& grid)
{
    std::array<int, 2> pair {};
    int count = 0;
    for (int r = 1; r < grid.rows(); ++r) {
        if (!codeMultiSelect::isSelected(grid, r))
            continue;
        if (count == 2)
            return std::nullopt;
        pair[size_t(count++)] = r;
    }
    if (count != 2)
        return std::nullopt;
    return pair;
}

// The nearest line that is no pause line from `start` in the direction of `step`, data rows only (the
// header is never a target); `start` itself when there is none.
int nearestLine(const GridTable& grid, int start, int step)
{
    for (int r = start + step; r >= 1 && r < grid.rows(); r += step) {
        if (!isPauseKey(grid.textView(r, column::Key)))
            return r;
    }
    return start;
}

} // namespace

void verwisselregels(GridTable& grid, int rowA, int rowB)
{
    for (int c = 0; c < grid.cols(); ++c) {
        if (c != column::Position)
            grid.exchangeTexts(rowA, rowB, c);
    }
}

int verplaatsregel(GridTable& grid, Richting richting)
{
    const int start = grid.row();
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    // Pause lines never move, also not when the official made one current.
    int target = start;
    if (!isPauseKey(grid.textView(start, column::Key)))
        target = nearestLine(grid, start, richting == Richting::Omhoog ? -1 : 1);
    if (target != start)
        verwisselregels(grid, target, start);
    grid.setRow(target);
    grid.setCol(0);
    grid.setRowSel(target);
    grid.setColSel(grid.cols() - 1);
    grid.setRedraw(redraw);
    // The moved line stays in sight, above the page as below it.
    grid.showRow(target);
    // A move ends as a plain click on the moved line would: it is the one selected row, so the next NG
    // or swap acts on the starter the official just moved.
    codeMultiSelect::GridMultiSelect_SelChange(grid, false, false, codeMultiSelect::paintSelectionRow);
    return target;
}

QString controleerwissel(const GridTable& grid)
{
    QString message;
    int count = 0;
    for (int r = 1; r < grid.rows(); ++r) {
        if (!codeMultiSelect::isSelected(grid, r))
            continue;
        ++count;
        if (isPauseKey(grid.textView(r, column::Key)))
            message = QStringLiteral("Pauzeregels kunnen niet verplaatst worden.");
    }
    if (count != 2)
        message = QStringLiteral("Selecteer 2 rijen");
    return message;
}

bool wisselrijen(GridTable& grid)
{
    const auto pair = selectedPair(grid);
    if (!pair)
        return false;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    verwisselregels(grid, (*pair)[0], (*pair)[1]);
    grid.setRedraw(redraw);
    return true;
}

int nextRepeatInterval(int interval)
{
    int n = interval;
    if (n > 100)
        n -= 100;
    if (n < 100)
        n = 100;
    return n < interval ? n : interval;
}

} // namespace regels
