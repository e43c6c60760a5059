#pragma once

#include <QString>
#include <QStringList>

class GridTable;

// Which starter is in the ring: the official says so ("Volgende in de ring", "Vorige"), the rider board and
// the marker in the grid show it. The pointer is a starter, held by its line key, not a row: it follows the
// starter through moves and swaps, and a merged re-read keeps it. When the office's changed list replaces the
// ring's, it stays on the same starter, or else on the first of the starters after it (in the old order) that
// the new list still has.
//
// Pause lines and starters marked not started (NG) are never in the ring: the pointer steps over them, and
// when its own starter is marked not started, the first starter after it that rides is in the ring, until the
// mark is taken back.
//
// Looking a starter up starts at the row it was last found on and searches outwards, so after a move or a swap
// next to it that costs a look at a row or two, never a pass over 32 767 lines.
class RingPointer
{
public:
    // The pointer's starter (its line key); empty before any list, and after Openen until the list is read.
    QString key() const { return m_key; }
    // The row of the starter in the ring (the pointer's, or the first after it that rides), as last found;
    // -1 when no starter of the list rides any more, or there is no list.
    int row() const { return m_row; }

    // Forgets the starter (Openen): the next list read puts the pointer on its first starter.
    void clear();
    // Puts the pointer on the starter with this key (the one the ring had before a restart); false, and the
    // pointer as it was, when the list has no such starter.
    bool pointTo(const GridTable& grid, const QString& key);
    // Finds the starter again after the list changed; with no starter yet, takes the list's first. True
    // when the row in the ring changed.
    bool follow(const GridTable& grid);
    // The next starter that rides after the one in the ring, or the one before it; true when it moved.
    bool next(const GridTable& grid);
    bool previous(const GridTable& grid);

    // Before the office's changed list takes the ring's place: the starters from the pointer's on, so that
    // replaced() can stay on the first of them the new list still has.
    void keepFollowers(const GridTable& grid);
    // After it. True when the row in the ring changed.
    bool replaced(const GridTable& grid);

    // Whether a line is one that can be in the ring: a starter (a key, no pause line) not marked not started.
    static bool rides(const GridTable& grid, int row);

private:
    int findKey(const GridTable& grid, const QString& key, int near) const;
    // Puts the pointer on the starter of a row that rides (or on none, with -1).
    void pointAt(const GridTable& grid, int row);
    // The first row at or after `row` that rides, else the last before it; -1 when none does.
    static int ridingFrom(const GridTable& grid, int row);
    bool settle(const GridTable& grid, int keyRow);

    QString m_key;
    int m_keyRow = -1;
    int m_row = -1;
    QStringList m_followers;
};
