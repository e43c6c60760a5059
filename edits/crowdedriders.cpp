#include "crowdedriders.h"

#include "columns.h"
#include "gridtable.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace crowdedriders {

namespace {

// A view on the rows as they stood before the edit: the edit's exchanges undone on row numbers only.
class Before
{
public:
    explicit Before(const std::vector<std::pair<int, int>>& exchanges)
    {
        for (auto it = exchanges.rbegin(); it != exchanges.rend(); ++it) {
            const int a = source(it->first);
            const int b = source(it->second);
            m_source[it->first] = b;
            m_source[it->second] = a;
        }
        for (auto it = m_source.cbegin(); it != m_source.cend(); ++it)
            m_row.insert(it.value(), it.key());
    }
    // The row (after the edit) whose line stood on `row` before it.
    int source(int row) const { return m_source.value(row, row); }
    // Where the line on `row` (after the edit) stood before it.
    int rowBefore(int row) const { return m_row.value(row, row); }

private:
    QHash<int, int> m_source;
    QHash<int, int> m_row;
};

bool rides(const GridTable& grid, int row)
{
    const QStringView key = grid.textView(row, column::Key);
    return !key.isEmpty() && !isPauseKey(key) && grid.textView(row, column::Mark) != notStartedMark;
}

QString riderOf(const GridTable& grid, int row)
{
    return grid.textView(row, column::Rider).trimmed().toString().toCaseFolded();
}

// The rows within `minimum` riding starters of `row` (either side) that carry the same rider, each read
// through `at` (the list now, or as it stood before the edit).
template<typename At>
std::vector<int> closeBy(const GridTable& grid, int row, int minimum, At at)
{
    std::vector<int> found;
    const int line = at(row);
    if (!rides(grid, line))
        return found;
    const QString rider = riderOf(grid, line);
    if (rider.isEmpty())
        return found;
    for (const int step : { -1, 1 }) {
        int between = 0;
        for (int r = row + step, looked = 0; r >= grid.fixedRows() && r < grid.rows() && looked < minimum + reach;
             r += step, ++looked) {
            const int other = at(r);
            if (!rides(grid, other))
                continue;
            if (between >= minimum)
                break;
            if (riderOf(grid, other) == rider)
                found.push_back(r);
            ++between;
        }
    }
    return found;
}

int findKey(const GridTable& grid, const QString& key, int near)
{
    const int first = grid.fixedRows();
    const int last = grid.rows() - 1;
    if (last < first)
        return -1;
    const int start = std::clamp(near, first, last);
    for (int distance = 0; distance <= reach && (start - distance >= first || start + distance <= last); ++distance) {
        if (start - distance >= first && grid.textView(start - distance, column::Key) == key)
            return start - distance;
        if (distance > 0 && start + distance <= last && grid.textView(start + distance, column::Key) == key)
            return start + distance;
    }
    return -1;
}

} // namespace

std::vector<Pair> newlyCrowded(const GridTable& grid, const std::vector<std::pair<int, int>>& exchanges, int minimum)
{
    std::vector<Pair> pairs;
    if (minimum <= 0 || exchanges.empty())
        return pairs;
    const Before before(exchanges);
    auto now = [](int r) { return r; };
    auto then = [&before](int r) { return before.source(r); };
    // The lines the edit touched, and those whose neighbours it changed: an exchange of rows a and b changes the
    // company of every line within reach of either.
    QSet<int> touched;
    for (const auto& [a, b] : exchanges) {
        touched.insert(a);
        touched.insert(b);
    }
    QSet<QString> seen;
    std::vector<int> rows(touched.cbegin(), touched.cend());
    std::sort(rows.begin(), rows.end());
    auto look = [&](int row) {
        for (const int other : closeBy(grid, row, minimum, now)) {
            const int a = std::min(row, other);
            const int b = std::max(row, other);
            const QString keyA = grid.textMatrix(a, column::Key);
            const QString keyB = grid.textMatrix(b, column::Key);
            if (seen.contains(keyA + u'\t' + keyB))
                continue;
            seen.insert(keyA + u'\t' + keyB);
            // Already this close before the edit (the office's list had it so, or an earlier edit): no news.
            bool already = false;
            for (const int o : closeBy(grid, before.rowBefore(a), minimum, then)) {
                if (grid.textView(before.source(o), column::Key) == keyB)
                    already = true;
            }
            if (!already)
                pairs.push_back({ a, b, keyA, keyB, grid.textMatrix(a, column::Rider).trimmed() });
        }
    };
    for (const int row : rows)
        look(row);
    // A line that left from between two rounds of a rider brings them closer: the rows next to where it was.
    for (const int row : rows) {
        for (const int step : { -1, 1 }) {
            int between = 0;
            for (int r = row + step, looked = 0;
                 r >= grid.fixedRows() && r < grid.rows() && looked < minimum + reach && between < minimum;
                 r += step, ++looked) {
                if (!rides(grid, r) || touched.contains(r))
                    continue;
                ++between;
                look(r);
            }
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) { return x.rowA < y.rowA; });
    return pairs;
}

bool stillCrowded(const GridTable& grid, Pair& pair, int minimum)
{
    if (minimum <= 0)
        return false;
    const int a = findKey(grid, pair.keyA, pair.rowA);
    const int b = findKey(grid, pair.keyB, pair.rowB);
    if (a < 0 || b < 0)
        return false;
    pair.rowA = std::min(a, b);
    pair.rowB = std::max(a, b);
    if (pair.rowA != a)
        std::swap(pair.keyA, pair.keyB);
    for (const int other : closeBy(grid, pair.rowA, minimum, [](int r) { return r; })) {
        if (other == pair.rowB)
            return true;
    }
    return false;
}

QString warningText(const GridTable& grid, const Pair& pair, int minimum)
{
    return QStringLiteral("Let op: %1 rijdt op plaats %2 en op plaats %3, met minder dan %4 starters ertussen")
        .arg(pair.rider, grid.textMatrix(pair.rowA, column::Position).trimmed(),
            grid.textMatrix(pair.rowB, column::Position).trimmed())
        .arg(minimum);
}

} // namespace crowdedriders
