#include "ringpointer.h"

#include "columns.h"
#include "gridtable.h"
#include "keyindex.h"

#include <algorithm>
#include <utility>

bool RingPointer::rides(const GridTable& grid, int row)
{
    if (row < grid.fixedRows() || row >= grid.rows())
        return false;
    const QStringView key = grid.textView(row, column::Key);
    return !key.isEmpty() && !isPauseKey(key) && grid.textView(row, column::Mark) != notStartedMark;
}

void RingPointer::clear()
{
    m_key.clear();
    m_keyRow = -1;
    m_row = -1;
    m_followers.clear();
}

bool RingPointer::pointTo(const GridTable& grid, const QString& key)
{
    const int keyRow = findKey(grid, key, m_keyRow >= 0 ? m_keyRow : grid.fixedRows());
    if (keyRow < 0)
        return false;
    m_key = key;
    settle(grid, keyRow);
    return true;
}

int RingPointer::findKey(const GridTable& grid, const QString& key, int near) const
{
    const int first = grid.fixedRows();
    const int last = grid.rows() - 1;
    if (key.isEmpty() || last < first)
        return -1;
    // Outwards from where it was: a moved starter is one or two rows away, a swapped one further.
    const int start = std::clamp(near, first, last);
    for (int distance = 0; start - distance >= first || start + distance <= last; ++distance) {
        if (start - distance >= first && grid.textView(start - distance, column::Key) == key)
            return start - distance;
        if (distance > 0 && start + distance <= last && grid.textView(start + distance, column::Key) == key)
            return start + distance;
    }
    return -1;
}

int RingPointer::ridingFrom(const GridTable& grid, int row)
{
    const int first = grid.fixedRows();
    const int last = grid.rows() - 1;
    if (last < first)
        return -1;
    const int start = std::clamp(row, first, last);
    for (int r = start; r <= last; ++r) {
        if (rides(grid, r))
            return r;
    }
    for (int r = start - 1; r >= first; --r) {
        if (rides(grid, r))
            return r;
    }
    return -1;
}

void RingPointer::pointAt(const GridTable& grid, int row)
{
    m_row = row;
    m_keyRow = row;
    m_key = row >= 0 ? grid.textMatrix(row, column::Key) : QString();
}

bool RingPointer::settle(const GridTable& grid, int keyRow)
{
    const int before = m_row;
    m_keyRow = keyRow;
    // The pointer's own starter when it rides; else the first after it that does. Past the last one that
    // rides, none is in the ring: the class is over.
    m_row = -1;
    for (int r = keyRow; r >= grid.fixedRows() && r < grid.rows(); ++r) {
        if (rides(grid, r)) {
            m_row = r;
            break;
        }
    }
    return m_row != before;
}

bool RingPointer::follow(const GridTable& grid)
{
    if (m_key.isEmpty()) {
        const int before = m_row;
        pointAt(grid, ridingFrom(grid, grid.fixedRows()));
        return m_row != before;
    }
    const int keyRow = findKey(grid, m_key, m_keyRow);
    if (keyRow >= 0)
        return settle(grid, keyRow);
    // The starter is gone (a list read anew): the one that now stands where it stood.
    const int before = m_row;
    pointAt(grid, ridingFrom(grid, m_keyRow));
    return m_row != before;
}

bool RingPointer::next(const GridTable& grid)
{
    const int from = m_row >= 0 ? m_row : m_keyRow;
    if (from < 0)
        return false;
    for (int r = from + 1; r < grid.rows(); ++r) {
        if (rides(grid, r)) {
            pointAt(grid, r);
            return true;
        }
    }
    return false;
}

bool RingPointer::previous(const GridTable& grid)
{
    // With none in the ring (past the last), the last starter that rides comes back.
    const int from = m_row >= 0 ? m_row : grid.rows();
    for (int r = std::min(from, grid.rows()) - 1; r >= grid.fixedRows(); --r) {
        if (rides(grid, r)) {
            pointAt(grid, r);
            return true;
        }
    }
    return false;
}

void RingPointer::keepFollowers(const GridTable& grid)
{
    m_followers.clear();
    const int keyRow = findKey(grid, m_key, m_keyRow);
    if (keyRow < 0)
        return;
    for (int r = keyRow; r < grid.rows(); ++r) {
        const QStringView key = grid.textView(r, column::Key);
        if (!key.isEmpty() && !isPauseKey(key))
            m_followers << key.toString();
    }
}

bool RingPointer::replaced(const GridTable& grid)
{
    const QStringList followers = std::exchange(m_followers, QStringList());
    if (m_key.isEmpty() || followers.isEmpty())
        return follow(grid);
    const KeyIndex rows(grid, column::Key, grid.fixedRows(), KeyIndex::Keep::FirstLine, [](QStringView) { return true; });
    for (const QString& key : followers) {
        const int found = rows.find(key);
        if (found < 0)
            continue;
        const int before = m_row;
        const bool own = key == m_key;
        m_key = key;
        settle(grid, found);
        // Another starter took the place of the one the office withdrew: the pointer is now on the starter that
        // rides there, not on a not-started one before it, so it follows that rider through the moves to come.
        if (!own && m_row >= 0)
            pointAt(grid, m_row);
        return m_row != before;
    }
    // None of them is left: where the pointer stood.
    const int before = m_row;
    pointAt(grid, ridingFrom(grid, m_keyRow));
    return m_row != before;
}
