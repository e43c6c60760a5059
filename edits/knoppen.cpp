#include "knoppen.h"

#include "appstate.h"
#include "columns.h"
#include "gridtable.h"
#include "multiselect.h"

namespace knoppen {

bool mayReorder(const AppState& state)
{
    return state.editvolgorde == 1;
}

bool mayMarkNotStarted(const AppState& state)
{
    return state.editnietgestart == 1;
}

EditButtons zetknoppen(const AppState& state)
{
    return EditButtons { mayReorder(state), mayMarkNotStarted(state) };
}

bool wisselnietgestart(GridTable& grid, const AppState& state)
{
    if (!mayMarkNotStarted(state))
        return false;
    for (int r = 1; r < grid.rows(); ++r) {
        if (!codeMultiSelect::isSelected(grid, r) || isPauseKey(grid.textView(r, column::Key)))
            continue;
        const bool marked = grid.textView(r, column::Mark) == notStartedMark;
        grid.setTextMatrix(r, column::Mark, marked ? QString() : notStartedMark.toString());
    }
    return true;
}

bool markChanged(const GridTable& grid, int row)
{
    const bool marked = grid.textView(row, column::Mark) == notStartedMark;
    // Case-sensitive: a lower-case "n" in the office's status is no not-started mark.
    const bool office = grid.textView(row, column::Status).contains(notStartedMark);
    return marked != office;
}

namespace {

// What one row adds to the send rule.
enum RowChange { Same, OrderDiffers, MarkDiffers };

RowChange rowChange(const GridTable& working, const GridTable& snapshot, int i)
{
    // A row the snapshot does not have is as much a change of order as a different key.
    if (i >= snapshot.rows() || snapshot.textView(i, column::Key) != working.textView(i, column::Key))
        return OrderDiffers;
    return markChanged(working, i) ? MarkDiffers : Same;
}

SendRule ruleFor(bool orderChanged, bool marksChanged, const AppState& state)
{
    SendRule rule;
    rule.orderChanged = orderChanged;
    rule.markChanged = marksChanged;
    rule.enabled = (orderChanged && mayReorder(state)) || (marksChanged && mayMarkNotStarted(state));
    return rule;
}

} // namespace

SendRule controleerwijzigingen(const GridTable& working, const GridTable& snapshot, const AppState& state)
{
    bool orderChanged = false;
    bool marksChanged = false;
    // The pass looks on until it has seen both kinds of change: a changed mark that the ring may not
    // report must not hide a move further down that it may report.
    for (int i = 1; i < working.rows() && !(orderChanged && marksChanged); ++i) {
        const RowChange change = rowChange(working, snapshot, i);
        if (change == OrderDiffers)
            orderChanged = true;
        else if (change == MarkDiffers)
            marksChanged = true;
    }
    return ruleFor(orderChanged, marksChanged, state);
}

SendRule SendRuleTracker::evaluate(const GridTable& working, const GridTable& snapshot, const AppState& state)
{
    const bool sameGrids = m_working == &working && m_snapshot == &snapshot && m_workingRows == working.rows()
        && m_snapshotRows == snapshot.rows();
    std::optional<std::vector<int>> workingRows;
    std::optional<std::vector<int>> snapshotRows;
    if (sameGrids) {
        workingRows = working.rowsChangedSince(m_workingVersion);
        snapshotRows = snapshot.rowsChangedSince(m_snapshotVersion);
    }
    if (!workingRows || !snapshotRows) {
        m_orderRows.clear();
        m_markRows.clear();
        // Rows in ascending order: each goes in at the end, in constant time.
        for (int i = 1; i < working.rows(); ++i) {
            const RowChange change = rowChange(working, snapshot, i);
            if (change == OrderDiffers)
                m_orderRows.insert(m_orderRows.end(), i);
            else if (change == MarkDiffers)
                m_markRows.insert(m_markRows.end(), i);
        }
    } else {
        for (const std::vector<int>* rows : { &*workingRows, &*snapshotRows }) {
            for (const int i : *rows) {
                if (i >= 1 && i < working.rows())
                    update(working, snapshot, i);
            }
        }
    }
    m_working = &working;
    m_snapshot = &snapshot;
    m_workingRows = working.rows();
    m_snapshotRows = snapshot.rows();
    m_workingVersion = working.textVersion();
    m_snapshotVersion = snapshot.textVersion();

    return ruleFor(!m_orderRows.empty(), !m_markRows.empty(), state);
}

void SendRuleTracker::update(const GridTable& working, const GridTable& snapshot, int row)
{
    const RowChange change = rowChange(working, snapshot, row);
    if (change == OrderDiffers)
        m_orderRows.insert(row);
    else
        m_orderRows.erase(row);
    if (change == MarkDiffers)
        m_markRows.insert(row);
    else
        m_markRows.erase(row);
}

} // namespace knoppen
