#pragma once

#include "crowdedriders.h"

#include <QList>
#include <QString>
#include <utility>
#include <vector>

class GridTable;

// The riders the ring's own moves crowded, as the station keeps them between edits: a move or swap adds the
// pairs it brought too close together (crowdedriders), and every later edit, undo or read drops those that no
// longer stand. The status line names the first; the grid marks both rows of each.
class CrowdedWatch
{
public:
    // N: fewer other starters than this between two rounds of one rider warns; 0 switches it off.
    void setMinimum(int minimum);
    int minimum() const { return m_minimum; }

    // After a move or swap by the ring (its exchanges, first to last): the pairs it crowded are added, those no
    // longer crowded go. True when the pairs changed.
    bool edited(const GridTable& grid, const std::vector<std::pair<int, int>>& exchanges);
    // After anything else that changed the list (an undo, a mark, a read): only the pairs that still stand stay.
    bool recheck(const GridTable& grid);
    bool clear();

    const std::vector<crowdedriders::Pair>& pairs() const { return m_pairs; }
    QList<int> rows() const;
    // The status line's warning for the first pair; empty when there is none.
    QString warning(const GridTable& grid) const;

private:
    int m_minimum = crowdedriders::defaultMinimum;
    std::vector<crowdedriders::Pair> m_pairs;
};
