#include "typeahead.h"

#include "columns.h"
#include "gridtable.h"

int TypeAhead::type(QChar digit, qint64 timestamp, const GridTable& grid)
{
    if (!digit.isDigit())
        return -1;
    // Also a clock that went back (another source of key times) starts a new number.
    if (m_typed.isEmpty() || timestamp < m_last || timestamp - m_last > pause)
        m_typed.clear();
    // A number of any sensible length: a key held down must not grow it without end.
    if (m_typed.size() >= 16)
        m_typed.clear();
    m_typed += QChar(u'0' + digit.digitValue());
    m_last = timestamp;
    return find(grid, m_typed);
}

int TypeAhead::find(const GridTable& grid, const QString& number)
{
    if (number.isEmpty())
        return -1;
    int firstBeginning = -1;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        // A number written with spaces around it still counts. Most lines are passed over at their first
        // digit: a key held down on 32 767 lines still answers within the key's repeat.
        QStringView nr = grid.textView(r, column::Number);
        if (nr.isEmpty() || (nr.front() != number.front() && !nr.front().isSpace()))
            continue;
        nr = nr.trimmed();
        if (!nr.startsWith(number))
            continue;
        // Pause lines carry no number of a starter.
        if (isPauseKey(grid.textView(r, column::Key)))
            continue;
        if (nr.size() == number.size())
            return r;
        if (firstBeginning < 0)
            firstBeginning = r;
    }
    return firstBeginning;
}
