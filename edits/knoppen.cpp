#include "knoppen.h"

#include "appstate.h"
#include "columns.h"
#include "gridtable.h"
#include "multiselect.h"

namespace knoppen {

EditButtons zetknoppen(const AppState& state)
{
    return EditButtons { state.editvolgorde == 1, state.editnietgestart == 1 };
}

bool wisselnietgestart(GridTable& grid, const AppState& state)
{
    if (state.editnietgestart != 1)
        return false;
    for (int r = 1; r < grid.rows(); ++r) {
        if (!codeMultiSelect::isSelected(grid, r) || isPauseKey(grid.textMatrix(r, column::Key)))
            continue;
        const bool marked = grid.textMatrix(r, column::Mark) == notStartedMark;
        grid.setTextMatrix(r, column::Mark, marked ? QString() : notStartedMark.toString());
    }
    return true;
}

bool markChanged(const GridTable& grid, int row)
{
    const bool marked = grid.textMatrix(row, column::Mark) == notStartedMark;
    // Case-sensitive: a lower-case "n" in the office's status is no not-started mark.
    const bool office = grid.textMatrix(row, column::Status).contains(notStartedMark);
    return marked != office;
}

SendRule controleerwijzigingen(const GridTable& working, const GridTable& snapshot, const AppState& state)
{
    SendRule rule;
    for (int i = 1; i < working.rows(); ++i) {
        // A row the snapshot does not have is as much a change of order as a different key.
        if (i >= snapshot.rows() || snapshot.textMatrix(i, column::Key) != working.textMatrix(i, column::Key)) {
            rule.orderChanged = true;
            continue;
        }
        if (markChanged(working, i)) {
            rule.markChanged = true;
            break;
        }
    }
    rule.enabled = (rule.orderChanged && state.editvolgorde == 1) || (rule.markChanged && state.editnietgestart == 1);
    return rule;
}

} // namespace knoppen
