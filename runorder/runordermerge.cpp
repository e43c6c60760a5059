#include "runordermerge.h"

#include "columns.h"
#include "gridtable.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <vector>

namespace runordermerge {

namespace {

    // The working lines that share one key, with their RowData held in a ring: exchanging RowData of
    // every line of the group with one other line, in order, rotates the group's values by one place,
    // which the ring does in constant time.
    struct KeyGroup
    {
        std::vector<int> rows; // ascending
        std::vector<qint32> ring;
        size_t head = 0;
        int lastScratchRow = -1;

        qint32& at(size_t rank) { return ring[(head + rank) % ring.size()]; } // rank 0-based
        void rotateRight() { head = (head + ring.size() - 1) % ring.size(); }
    };

    struct RowDataView
    {
        std::vector<qint32> plain;
        std::vector<int> groupOf; // -1: not in a group
        std::vector<int> rankOf;
        std::vector<KeyGroup>* groups = nullptr;

        qint32& value(int row)
        {
            const int g = groupOf[size_t(row)];
            if (g < 0)
                return plain[size_t(row)];
            return (*groups)[size_t(g)].at(size_t(rankOf[size_t(row)]));
        }
    };

} // namespace

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
    const int workingRows = working.rows();
    const int cols = std::min(working.cols(), scratch.cols());

    // Only keys that the new list brings (and that may be matched) form groups.
    QHash<QString, int> groupIndex;
    std::vector<KeyGroup> groups;
    for (int i = 1; i < scratch.rows(); ++i) {
        const QString key = scratch.textMatrix(i, column::Key);
        if (key == pauseKey || key == zeroKey)
            continue;
        auto it = groupIndex.find(key);
        if (it == groupIndex.end()) {
            it = groupIndex.insert(key, int(groups.size()));
            groups.emplace_back();
        }
        groups[size_t(*it)].lastScratchRow = i;
    }

    RowDataView rowData;
    rowData.groups = &groups;
    rowData.plain.resize(size_t(std::max(workingRows, 0)));
    rowData.groupOf.assign(rowData.plain.size(), -1);
    rowData.rankOf.assign(rowData.plain.size(), -1);
    for (int k = 0; k < workingRows; ++k)
        rowData.plain[size_t(k)] = working.rowData(k);
    for (int k = 1; k < workingRows; ++k) {
        const auto it = groupIndex.constFind(working.textMatrix(k, column::Key));
        if (it == groupIndex.constEnd())
            continue;
        KeyGroup& group = groups[size_t(*it)];
        rowData.groupOf[size_t(k)] = *it;
        rowData.rankOf[size_t(k)] = int(group.rows.size());
        group.rows.push_back(k);
        group.ring.push_back(rowData.plain[size_t(k)]);
    }

    // Cells: every matching working line ends with the last new line of its key; the key column itself
    // is equal on both sides, so the groups stay valid throughout.
    for (const KeyGroup& group : groups) {
        if (group.rows.empty())
            continue;
        for (const int k : group.rows) {
            for (int c = 0; c < cols; ++c) {
                if (c == column::Position || c == column::Mark)
                    continue;
                working.setTextMatrix(k, c, scratch.textMatrix(group.lastScratchRow, c));
            }
        }
    }

    // RowData: the exchanges with line i in the order the new list gives them.
    for (int i = 1; i < scratch.rows(); ++i) {
        const QString key = scratch.textMatrix(i, column::Key);
        if (key == pauseKey || key == zeroKey)
            continue;
        KeyGroup& group = groups[size_t(groupIndex.value(key))];
        const size_t m = group.rows.size();
        if (m == 0 || i >= workingRows)
            continue; // no line to exchange with, or no working line i: the exchange fails
        const bool inGroup = rowData.groupOf[size_t(i)] == groupIndex.value(key);
        if (!inGroup) {
            // Exchanging i with k1..km in turn: the group's values move one place down, i's value lands
            // on k1 and km's value on i.
            const qint32 fromI = rowData.value(i);
            const qint32 last = group.at(m - 1);
            group.rotateRight();
            group.at(0) = fromI;
            rowData.value(i) = last;
            continue;
        }
        if (m == 1)
            continue; // exchanging a line with itself
        // i is line k_j of the group itself: the exchange with itself is void, the others rotate around it.
        const size_t j = size_t(rowData.rankOf[size_t(i)]); // 0-based
        const qint32 aJ = group.at(j);
        const qint32 aLast = group.at(m - 1);
        const qint32 aBeforeLast = group.at(m - 2);
        const qint32 aBeforeJ = j > 0 ? group.at(j - 1) : 0;
        group.rotateRight();
        if (j > 0)
            group.at(0) = aJ;
        group.at(j) = (j == m - 1) ? aBeforeLast : aLast;
        if (j < m - 1)
            group.at(j + 1) = (j == 0) ? aJ : aBeforeJ;
    }

    for (const KeyGroup& group : groups) {
        for (size_t t = 0; t < group.rows.size(); ++t)
            working.setRowData(group.rows[t], group.ring[(group.head + t) % group.ring.size()]);
    }
    for (int k = 0; k < workingRows; ++k) {
        if (rowData.groupOf[size_t(k)] < 0)
            working.setRowData(k, rowData.plain[size_t(k)]);
    }
}

} // namespace runordermerge
