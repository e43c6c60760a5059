#include "runordermerge.h"

#include "columns.h"
#include "gridtable.h"

#include <QHash>
#include <QString>
#include <algorithm>

namespace runordermerge {

bool listChanged(const GridTable& snapshot, const GridTable& scratch)
{
    if (scratch.rows() != snapshot.rows())
        return true;
    for (int i = 1; i < scratch.rows(); ++i) {
        if (scratch.textMatrix(i, column::Key) != snapshot.textMatrix(i, column::Key)
            || scratch.textMatrix(i, column::Position) != snapshot.textMatrix(i, column::Position))
            return true;
    }
    return false;
}

void replaceList(GridTable& working, GridTable& snapshot, const GridTable& scratch)
{
    const bool redraw = working.redraw();
    working.setRedraw(false);
    working.setRows(scratch.rows());
    snapshot.setRows(scratch.rows());
    const int cols = std::min({ working.cols(), snapshot.cols(), scratch.cols() });
    for (int r = 1; r < scratch.rows(); ++r) {
        for (int c = 0; c < cols; ++c) {
            const QString text = scratch.textMatrix(r, c);
            working.setTextMatrix(r, c, text);
            snapshot.setTextMatrix(r, c, text);
        }
    }
    working.setRedraw(redraw);
}

void mergeList(GridTable& working, const GridTable& scratch)
{
    const int cols = std::min(working.cols(), scratch.cols());
    // The last line of the new list with each key that may be matched: a working line with that key
    // ends with its texts, as if every earlier line of the key had been copied in turn.
    QHash<QString, int> lastLineOfKey;
    lastLineOfKey.reserve(scratch.rows());
    for (int i = 1; i < scratch.rows(); ++i) {
        const QString key = scratch.textMatrix(i, column::Key);
        if (key != pauseKey && key != zeroKey)
            lastLineOfKey.insert(key, i);
    }
    // The RowData (the ring's selection) stays where it is: once the ring has moved a line, the new
    // list's line i is another starter than the ring's line i, and the selection must stay on the rows
    // the official selected.
    for (int k = 1; k < working.rows(); ++k) {
        const auto found = lastLineOfKey.constFind(working.textMatrix(k, column::Key));
        if (found == lastLineOfKey.constEnd())
            continue;
        for (int c = 0; c < cols; ++c) {
            if (c != column::Position && c != column::Mark)
                working.setTextMatrix(k, c, scratch.textMatrix(*found, c));
        }
    }
}

} // namespace runordermerge
