#include "crowdedwatch.h"

#include <algorithm>

void CrowdedWatch::setMinimum(int minimum)
{
    m_minimum = std::max(0, minimum);
}

bool CrowdedWatch::edited(const GridTable& grid, const std::vector<std::pair<int, int>>& exchanges)
{
    bool changed = recheck(grid);
    for (crowdedriders::Pair& pair : crowdedriders::newlyCrowded(grid, exchanges, m_minimum)) {
        const bool known = std::any_of(m_pairs.cbegin(), m_pairs.cend(),
            [&pair](const crowdedriders::Pair& p) { return p.keyA == pair.keyA && p.keyB == pair.keyB; });
        if (!known) {
            m_pairs.push_back(std::move(pair));
            changed = true;
        }
    }
    return changed;
}

bool CrowdedWatch::recheck(const GridTable& grid)
{
    const size_t before = m_pairs.size();
    std::vector<crowdedriders::Pair> kept;
    bool moved = false;
    for (crowdedriders::Pair pair : m_pairs) {
        const int a = pair.rowA;
        const int b = pair.rowB;
        if (crowdedriders::stillCrowded(grid, pair, m_minimum)) {
            moved = moved || pair.rowA != a || pair.rowB != b;
            kept.push_back(std::move(pair));
        }
    }
    m_pairs = std::move(kept);
    return moved || m_pairs.size() != before;
}

bool CrowdedWatch::clear()
{
    const bool had = !m_pairs.empty();
    m_pairs.clear();
    return had;
}

QList<int> CrowdedWatch::rows() const
{
    QList<int> rows;
    for (const crowdedriders::Pair& pair : m_pairs)
        rows << pair.rowA << pair.rowB;
    return rows;
}

QString CrowdedWatch::warning(const GridTable& grid) const
{
    if (m_pairs.empty())
        return QString();
    return crowdedriders::warningText(grid, m_pairs.front(), m_minimum);
}
