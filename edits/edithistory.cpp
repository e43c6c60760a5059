#include "edithistory.h"

#include "columns.h"
#include "gridtable.h"
#include "regels.h"

EditHistory::Selection EditHistory::selectionOf(const GridTable& grid)
{
    Selection selection;
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.rowData(r) == 1)
            selection.rows.push_back(r);
    }
    selection.row = grid.row();
    selection.rowSel = grid.rowSel();
    return selection;
}

void EditHistory::restoreSelection(GridTable& grid, const Selection& selection)
{
    std::size_t next = 0;
    for (int r = 1; r < grid.rows(); ++r) {
        const bool selected = next < selection.rows.size() && selection.rows[next] == r;
        if (selected)
            ++next;
        if ((grid.rowData(r) == 1) != selected)
            grid.setRowData(r, selected ? 1 : 0);
    }
    grid.setRow(selection.row);
    grid.setCol(0);
    grid.setRowSel(selection.rowSel);
    grid.setColSel(grid.cols() - 1);
    grid.showRow(selection.row);
}

void EditHistory::begin(const GridTable& grid)
{
    m_open = Step();
    m_open->before = selectionOf(grid);
}

void EditHistory::exchanged(int rowA, int rowB)
{
    if (m_open && rowA != rowB)
        m_open->exchanges.emplace_back(rowA, rowB);
}

void EditHistory::toggled(const std::vector<int>& rows)
{
    if (m_open)
        m_open->toggledMarks.insert(m_open->toggledMarks.end(), rows.begin(), rows.end());
}

bool EditHistory::end(const GridTable& grid, const QString& what)
{
    if (!m_open)
        return false;
    Step step = std::move(*m_open);
    m_open.reset();
    if (step.isEmpty())
        return false;
    step.after = selectionOf(grid);
    step.what = what;
    m_done.push_back(std::move(step));
    // A new edit ends what could be redone: it was made on another list.
    m_undone.clear();
    return true;
}

void EditHistory::apply(GridTable& grid, const Step& step, bool backwards)
{
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    auto exchange
        = [&grid](const std::pair<int, int>& rows) { regels::verwisselregels(grid, rows.first, rows.second); };
    auto toggle = [&grid](int row) {
        const bool marked = grid.textView(row, column::Mark) == notStartedMark;
        grid.setTextMatrix(row, column::Mark, marked ? QString() : notStartedMark.toString());
    };
    if (backwards) {
        for (auto it = step.toggledMarks.rbegin(); it != step.toggledMarks.rend(); ++it)
            toggle(*it);
        for (auto it = step.exchanges.rbegin(); it != step.exchanges.rend(); ++it)
            exchange(*it);
    } else {
        for (const auto& rows : step.exchanges)
            exchange(rows);
        for (int row : step.toggledMarks)
            toggle(row);
    }
    grid.setRedraw(redraw);
}

std::optional<EditHistory::Step> EditHistory::undo(GridTable& grid)
{
    if (m_done.empty())
        return std::nullopt;
    Step step = std::move(m_done.back());
    m_done.pop_back();
    apply(grid, step, true);
    restoreSelection(grid, step.before);
    m_undone.push_back(step);
    return step;
}

std::optional<EditHistory::Step> EditHistory::redo(GridTable& grid)
{
    if (m_undone.empty())
        return std::nullopt;
    Step step = std::move(m_undone.back());
    m_undone.pop_back();
    apply(grid, step, false);
    restoreSelection(grid, step.after);
    m_done.push_back(step);
    return step;
}

void EditHistory::clear()
{
    m_done.clear();
    m_undone.clear();
    m_open.reset();
}
