#include "keyindex.h"

#include "gridtable.h"

#include <QRandomGenerator>
#include <bit>

KeyIndex::KeyIndex(const GridTable& grid, int column, int firstRow, Keep keep,
    const std::function<bool(QStringView)>& indexed)
    : m_grid(grid)
    , m_column(column)
{
    const int rows = std::max(0, grid.rows() - std::max(0, firstRow));
    // At most half full: a probe ends after a slot or two.
    const size_t capacity = std::bit_ceil(size_t(std::max(8, rows * 2)));
    m_slots.resize(capacity);
    m_mask = quint32(capacity - 1);
    const int step = keep == Keep::FirstLine ? 1 : -1;
    const int from = keep == Keep::FirstLine ? std::max(0, firstRow) : grid.rows() - 1;
    for (int row = from; row >= std::max(0, firstRow) && row < grid.rows(); row += step) {
        const QStringView key = keyAt(row);
        if (!indexed(key))
            continue;
        const quint32 hash = hashOf(key);
        for (quint32 at = hash & m_mask;; at = (at + 1) & m_mask) {
            Slot& slot = m_slots[at];
            if (slot.row < 0) {
                slot = { hash, row };
                ++m_size;
                break;
            }
            // The line kept for a repeated key is the one met first in this walk.
            if (slot.hash == hash && keyAt(slot.row) == key)
                break;
        }
    }
}

int KeyIndex::find(QStringView key) const
{
    const quint32 hash = hashOf(key);
    for (quint32 at = hash & m_mask;; at = (at + 1) & m_mask) {
        const Slot& slot = m_slots[at];
        if (slot.row < 0)
            return -1;
        if (slot.hash == hash && keyAt(slot.row) == key)
            return slot.row;
    }
}

quint32 KeyIndex::hashOf(QStringView key)
{
    // Qt's string hash costs more than the rest of a look-up for keys this short; this one is a multiply per
    // character, mixed at the end, from a seed drawn once per process.
    static const quint64 seed = QRandomGenerator::system()->generate64();
    quint64 hash = seed ^ (quint64(key.size()) * 0x9e3779b97f4a7c15ULL);
    for (const QChar ch : key)
        hash = (hash ^ ch.unicode()) * 0x100000001b3ULL;
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    return quint32(hash);
}

QStringView KeyIndex::keyAt(int row) const
{
    return m_grid.textView(row, m_column);
}
