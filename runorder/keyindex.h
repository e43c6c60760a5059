#pragma once

#include <QStringView>
#include <QtGlobal>
#include <functional>
#include <vector>

class GridTable;

// The row of each key of a list, for the passes that look every line of one list up in another (the merge of
// the office's re-read list, the day log's account of what the office changed, the ring pointer after a
// replace). A flat table with open addressing: each slot holds a key's hash beside its row, so a probe compares
// texts only where the hashes agree, and a list of 32 767 lines is indexed without an allocation per key. The
// hash is seeded once per process, so no list collides on every station. Of a key on more than one line, the
// first or the last line is found, as the caller asks. Valid while the grid's texts stay as they are.
class KeyIndex
{
public:
    enum class Keep { FirstLine, LastLine };

    // The keys in column `column` of the rows from `firstRow` on for which `indexed` holds.
    KeyIndex(const GridTable& grid, int column, int firstRow, Keep keep,
        const std::function<bool(QStringView)>& indexed);

    // The row of `key`, or -1.
    int find(QStringView key) const;
    int size() const { return m_size; }

private:
    struct Slot
    {
        quint32 hash = 0;
        qint32 row = -1;
    };

    static quint32 hashOf(QStringView key);
    QStringView keyAt(int row) const;

    const GridTable& m_grid;
    int m_column = 0;
    std::vector<Slot> m_slots;
    quint32 m_mask = 0;
    int m_size = 0;
};
