#include "runordermerge.h"

#include "columns.h"
#include "gridtable.h"
#include "keyindex.h"

#include <QSet>
#include <QStringView>

namespace runordermerge {

bool listChanged(const GridTable& snapshot, const GridTable& scratch)
{
    if (scratch.rows() != snapshot.rows())
        return true;
    for (int i = 1; i < scratch.rows(); ++i) {
        if (scratch.textView(i, column::Key) != snapshot.textView(i, column::Key)
            || scratch.textView(i, column::Position) != snapshot.textView(i, column::Position))
            return true;
    }
    return false;
}

void replaceList(GridTable& working, GridTable& snapshot, const GridTable& scratch)
{
    // The starters the official selected, and the current one, by key: in the office's new list they may
    // stand on other rows, and NG or a swap must act on the starters the official chose, not on whoever
    // now stands where they stood. Pause lines share their key and cannot be followed.
    QSet<QString> selected;
    for (int r = 1; r < working.rows(); ++r) {
        if (working.rowData(r) == 1 && isStarterKey(working.textView(r, column::Key)))
            selected.insert(working.textMatrix(r, column::Key));
    }
    const QString current = working.row() >= 1 ? working.textMatrix(working.row(), column::Key) : QString();

    const bool redraw = working.redraw();
    working.setRedraw(false);
    working.setRows(scratch.rows());
    snapshot.setRows(scratch.rows());
    // Every column the three grids have; the lines share their texts with the new list's.
    int currentRow = 0;
    for (int r = 1; r < scratch.rows(); ++r) {
        working.copyTexts(r, scratch, r, GridTable::allColumns);
        snapshot.copyTexts(r, scratch, r, GridTable::allColumns);
        const QStringView key = scratch.textView(r, column::Key);
        const int flag = !selected.isEmpty() && selected.contains(key.toString()) ? 1 : 0;
        if (working.rowData(r) != flag)
            working.setRowData(r, flag);
        if (currentRow == 0 && isStarterKey(key) && key == current)
            currentRow = r;
    }
    // A current starter the office removed leaves the current row where it was; nothing is selected there.
    if (currentRow > 0 && currentRow != working.row()) {
        working.setRow(currentRow);
        working.setRowSel(currentRow);
    }
    working.setRedraw(redraw);
}

bool isStarterKey(QStringView key)
{
    return !key.isEmpty() && key != pauseKey && key != zeroKey;
}

void mergeList(GridTable& working, const GridTable& scratch, std::vector<ChangedCell>* changed)
{
    // The last line of the new list with each key that may be matched: a working line with that key
    // ends with its texts, as if every earlier line of the key had been copied in turn.
    const KeyIndex lastLineOfKey(scratch, column::Key, 1, KeyIndex::Keep::LastLine,
        [](QStringView key) { return key != pauseKey && key != zeroKey; });
    // The RowData (the ring's selection) stays where it is: once the ring has moved a line, the new
    // list's line i is another starter than the ring's line i, and the selection must stay on the rows
    // the official selected.
    const quint64 officeColumns
        = GridTable::allColumns & ~(quint64(1) << column::Position) & ~(quint64(1) << column::Mark);
    // Drawing off meanwhile: the view hears of the changed lines once, not line by line.
    const bool redraw = working.redraw();
    working.setRedraw(false);
    for (int k = 1; k < working.rows(); ++k) {
        const int found = lastLineOfKey.find(working.textView(k, column::Key));
        if (found < 0)
            continue;
        if (changed) {
            for (int c = 0; c < working.cols(); ++c) {
                if ((officeColumns >> c & 1) && working.textView(k, c) != scratch.textView(found, c))
                    changed->push_back({ k, c });
            }
        }
        working.copyTexts(k, scratch, found, officeColumns);
    }
    working.setRedraw(redraw);
}

} // namespace runordermerge
