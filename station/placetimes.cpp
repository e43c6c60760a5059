#include "placetimes.h"

#include "columns.h"
#include "gridtable.h"

#include <algorithm>

void PlaceTimes::take(const GridTable& office)
{
    // The texts are shared with the grid's, so a copy of a long list costs no more than its row count.
    const int rows = office.rows();
    m_times.assign(size_t(std::max(0, rows)), QString());
    m_positions.assign(size_t(std::max(0, rows)), QString());
    for (int r = 0; r < rows; ++r) {
        m_times[size_t(r)] = office.textMatrix(r, column::Time);
        m_positions[size_t(r)] = office.textMatrix(r, column::Position);
    }
}

void PlaceTimes::clear()
{
    m_times.clear();
    m_positions.clear();
}

QString PlaceTimes::at(const GridTable& working, int row) const
{
    const QString own = working.textMatrix(row, column::Time).trimmed();
    if (row < 0 || size_t(row) >= m_times.size())
        return own;
    // The same place: the office's row there carries the position the ring's row carries.
    if (m_positions[size_t(row)] != working.textView(row, column::Position))
        return own;
    return m_times[size_t(row)].trimmed();
}
