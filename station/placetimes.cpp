#include "placetimes.h"

#include "columns.h"
#include "gridtable.h"

#include <algorithm>

void PlaceTimes::take(const GridTable& office)
{
    const int rows = std::max(0, office.rows());
    m_rows.assign(size_t(rows), Row());
    m_text.clear();
    m_text.reserve(qsizetype(rows) * 8);
    for (int r = 0; r < rows; ++r) {
        const QStringView time = office.textView(r, column::Time);
        const QStringView position = office.textView(r, column::Position);
        m_rows[size_t(r)] = { m_text.size(), time.size(), position.size() };
        m_text.append(time);
        m_text.append(position);
    }
}

void PlaceTimes::clear()
{
    m_rows.clear();
    m_text.clear();
}

QString PlaceTimes::at(const GridTable& working, int row) const
{
    const QString own = working.textMatrix(row, column::Time).trimmed();
    if (row < 0 || size_t(row) >= m_rows.size())
        return own;
    const Row& taken = m_rows[size_t(row)];
    // The same place: the office's row there carries the position the ring's row carries.
    if (QStringView(m_text).mid(taken.start + taken.time, taken.position) != working.textView(row, column::Position))
        return own;
    return QStringView(m_text).mid(taken.start, taken.time).trimmed().toString();
}
