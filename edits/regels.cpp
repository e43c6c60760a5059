#include "regels.h"

#include "columns.h"
#include "gridtable.h"
#include "multiselect.h"

#include <algorithm>
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

int landingRow(const GridTable& grid, int from, int pointed)
{
    if (from < 1 || from >= grid.rows() || isPauseKey(grid.textView(from, column::Key)))
        return from;
    const int target = std::clamp(pointed, 1, grid.rows() - 1);
    const int step = target < from ? -1 : 1;
    int landing = from;
    for (int r = from; r != target;) {
        const int next = nearestLine(grid, r, step);
        if (next == r || (step < 0 ? next < target : next > target))
            break;
        landing = r = next;
    }
    return landing;
}

std::vector<std::pair<int, int>> verplaatsNaar(GridTable& grid, int target)
{
    std::vector<std::pair<int, int>> exchanges;
    const int start = grid.row();
    const int landing = landingRow(grid, start, target);
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    const int step = landing < start ? -1 : 1;
    for (int r = start; r != landing;) {
        const int next = nearestLine(grid, r, step);
        verwisselregels(grid, next, r);
        exchanges.emplace_back(r, next);
        r = next;
    }
    grid.setRow(landing);
    grid.setCol(0);
    grid.setRowSel(landing);
    grid.setColSel(grid.cols() - 1);
    grid.setRedraw(redraw);
    grid.showRow(landing);
    codeMultiSelect::GridMultiSelect_SelChange(grid, false, false, codeMultiSelect::paintSelectionRow);
    return exchanges;
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

std::optional<std::pair<int, int>> wisselrijen(GridTable& grid)
{
    const auto pair = selectedPair(grid);
    if (!pair)
        return std::nullopt;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    verwisselregels(grid, (*pair)[0], (*pair)[1]);
    grid.setRedraw(redraw);
    return std::make_pair((*pair)[0], (*pair)[1]);
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
