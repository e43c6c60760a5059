#include "crowdedriders.h"

#include "columns.h"
#include "gridtable.h"

#include <QHash>
#include <algorithm>
#include <climits>

namespace crowdedriders {

namespace {

// A view on the rows as they stood before the edit: the edit's exchanges undone on row numbers only. An edit
// exchanges a few rows (a drag a few hundred): a sorted list of the rows it moved is all it takes.
class Before
{
public:
    explicit Before(const std::vector<std::pair<int, int>>& exchanges)
    {
        // source[r]: the row (after the edit) whose line stood on r before it, for the rows the edit touched.
        std::vector<std::pair<int, int>> source;
        auto at = [&source](int row) -> int& {
            for (auto& entry : source) {
                if (entry.first == row)
                    return entry.second;
            }
            source.emplace_back(row, row);
            return source.back().second;
        };
        if (exchanges.size() > 16) {
            // Many exchanges (a drag): a map of the rows is cheaper than a list looked through.
            QHash<int, int> map;
            auto get = [&map](int row) { return map.value(row, row); };
            for (auto it = exchanges.rbegin(); it != exchanges.rend(); ++it) {
                const int a = get(it->first);
                const int b = get(it->second);
                map.insert(it->first, b);
                map.insert(it->second, a);
            }
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                source.emplace_back(it.key(), it.value());
        } else {
            for (auto it = exchanges.rbegin(); it != exchanges.rend(); ++it) {
                const int a = at(it->first);
                const int b = at(it->second);
                at(it->first) = b;
                at(it->second) = a;
            }
        }
        for (const auto& [row, from] : source) {
            if (row != from) {
                m_source.emplace_back(row, from);
                m_row.emplace_back(from, row);
            }
        }
        std::sort(m_source.begin(), m_source.end());
        std::sort(m_row.begin(), m_row.end());
    }
    // The row (after the edit) whose line stood on `row` before it.
    int source(int row) const { return lookUp(m_source, row); }
    // Where the line on `row` (after the edit) stood before it.
    int rowBefore(int row) const { return lookUp(m_row, row); }
    // The rows whose lines the edit moved, ascending.
    std::vector<int> rows() const
    {
        std::vector<int> rows;
        for (const auto& entry : m_source)
            rows.push_back(entry.first);
        return rows;
    }
    bool moved(int row) const { return lookUp(m_source, row) != row; }

private:
    static int lookUp(const std::vector<std::pair<int, int>>& map, int row)
    {
        const auto found = std::lower_bound(map.begin(), map.end(), std::make_pair(row, INT_MIN));
        return found != map.end() && found->first == row ? found->second : row;
    }

    std::vector<std::pair<int, int>> m_source;
    std::vector<std::pair<int, int>> m_row;
};

bool rides(const GridTable& grid, int row)
{
    const QStringView key = grid.textView(row, column::Key);
    return !key.isEmpty() && !isPauseKey(key) && grid.textView(row, column::Mark) != notStartedMark;
}

QStringView riderOf(const GridTable& grid, int row)
{
    return grid.textView(row, column::Rider).trimmed();
}

bool sameRider(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// The rows within `minimum` riding starters of `row` (either side) that carry the same rider, each read
// through `at` (the list now, or as it stood before the edit).
template <typename At> std::vector<int> closeBy(const GridTable& grid, int row, int minimum, At at)
{
    std::vector<int> found;
    const int line = at(row);
    if (!rides(grid, line))
        return found;
    const QStringView rider = riderOf(grid, line);
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
            if (sameRider(riderOf(grid, other), rider))
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
    // The lines the edit moved, and those whose company it changed: the lines beside where a line left or came.
    const std::vector<int> moved = before.rows();
    std::vector<std::pair<int, int>> seen;
    auto look = [&](int row) {
        for (const int other : closeBy(grid, row, minimum, now)) {
            const int a = std::min(row, other);
            const int b = std::max(row, other);
            if (std::find(seen.cbegin(), seen.cend(), std::make_pair(a, b)) != seen.cend())
                continue;
            seen.emplace_back(a, b);
            // Already this close before the edit (the office's list had it so, or an earlier edit): no news.
            const int lineB = before.rowBefore(b);
            bool already = false;
            for (const int o : closeBy(grid, before.rowBefore(a), minimum, then))
                already = already || o == lineB;
            if (!already)
                pairs.push_back({ a, b, grid.textMatrix(a, column::Key), grid.textMatrix(b, column::Key),
                    riderOf(grid, a).toString() });
        }
    };
    for (const int row : moved)
        look(row);
    for (const int row : moved) {
        for (const int step : { -1, 1 }) {
            int between = 0;
            for (int r = row + step, looked = 0;
                 r >= grid.fixedRows() && r < grid.rows() && looked < minimum + reach && between < minimum;
                 r += step, ++looked) {
                if (!rides(grid, r) || before.moved(r))
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
