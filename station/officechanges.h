#pragma once

#include <QString>
#include <QStringList>

class GridTable;

// What the office's changed list did to the starters the ring had on screen, for the day log: who was
// withdrawn, who was added and who was moved among the others, each with the back number, the rider and the
// horse and the places (the running positions of column 1). The answer to "I was told I would go twelfth":
// the places a withdrawal or an addition shifts follow from those lines, and a move is a starter whose order
// among the others changed. Lines are matched by their keys; pause lines take no part. Each part names its
// first starters and counts the rest, so an office that rewrote a list of thousands writes one line of
// reasonable length.
struct OfficeChanges
{
    static constexpr int namedPerPart = 40;
    QStringList withdrawn; // "105 Anna (Quibus) van plaats 3"
    QStringList added; // "131 Bram (Odin) op plaats 30"
    QStringList moved; // "107 Cees (Pax) van plaats 5 naar plaats 4"
    int moreWithdrawn = 0;
    int moreAdded = 0;
    int moreMoved = 0;
    bool isEmpty() const { return withdrawn.isEmpty() && added.isEmpty() && moved.isEmpty(); }
};

// The changes from the list on screen (`shown`, before the replace) to the office's new one (`incoming`).
OfficeChanges officeChanges(const GridTable& shown, const GridTable& incoming);

// "105 Anna de Vries (Quibus)": a starter as the log names it, from its row; the key when it has no name.
QString starterName(const GridTable& grid, int row);

// The day log's words for the changes: "teruggetrokken: ...; toegevoegd: ...; verplaatst: ...", the parts
// that have something; empty when nothing changed for any starter.
QString describeOfficeChanges(const OfficeChanges& changes);
