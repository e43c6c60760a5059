#pragma once

#include <QStringView>
#include <vector>

class GridTable;

// Bringing a periodic read of the running-order file into the ring's grids. The office's new list (the
// scratch grid) is compared with the snapshot of the last list taken from the file: a list that differs
// in a key or a position, or that is longer or shorter, replaces the ring's list; an unchanged list is
// merged entry by entry into the ring's list, which keeps the ring's own order and marks.
namespace runordermerge {

// True when the new list differs from the snapshot: column 0 or 1 of any line below the header differs,
// or the new list has more or fewer lines. (A removed starter must not stay on the ring's screen.)
bool listChanged(const GridTable& snapshot, const GridTable& scratch);

// Replaces every line below the header of the working list and the snapshot by the new list. The header
// rows stay as they are; the selection follows the starters: a row of the new list is selected when a
// starter with its key was selected, and the current row moves to the current starter's new row. A
// starter no longer in the list leaves no selection behind (pause lines, whose key is shared, are not
// followed).
void replaceList(GridTable& working, GridTable& snapshot, const GridTable& scratch);

// A key that names one starter: not empty, no pause line ("P") and not "0".
bool isStarterKey(QStringView key);

// Merges an unchanged list: for each line i of the new list whose key is neither "P" nor "0", every line
// k of the working list with that key takes all columns of line i except 1 and 10 (which belong to the
// ring). The working list's RowData stays as it is, so the selection stays on the rows the official
// selected. Runs in linear time, also when keys repeat. With `changed`, the cells of the working list whose
// text the merge changed (a start time, a horse's name) are added to it.
struct ChangedCell
{
    int row;
    int col;
    friend bool operator==(const ChangedCell&, const ChangedCell&) = default;
};
void mergeList(GridTable& working, const GridTable& scratch, std::vector<ChangedCell>* changed = nullptr);

} // namespace runordermerge
