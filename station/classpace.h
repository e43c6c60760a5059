#pragma once

#include "classplan.h"
#include "expectedtimes.h"
#include "progressindex.h"
#include "ringpace.h"

#include <QDateTime>
#include <QString>

class GridTable;
class RingPointer;

// The pace of the class being ridden and what follows from it, as the station keeps it: the ring's moves on
// (RingPace), the office's plan read from each list it publishes (ClassPlan), and from those the expected
// go-times and the class's progress for the views. The station keeps the pace in the journal at every move on;
// after a restart it comes back, with the starter that was in the ring.
class ClassPace
{
public:
    // Another class is followed: its pace is read from the journal at its first list.
    void clear();
    // The office's list was read (grid(2) holds it now).
    void listRead(const GridTable& office);

    // The ring moved on to the starter on `ringRow` at `now`; `previousRow` the row it came from.
    void movedOn(const GridTable& grid, int previousRow, int ringRow, const QDateTime& now);
    // The ring went back from the starter `fromKey` (its move on is taken back).
    void movedBack(const QString& fromKey);
    // After a restart: the pace the journal kept, and the ring put back on the starter it had. True when there
    // was one.
    bool restore(const std::optional<RingPace>& kept, const GridTable& grid, RingPointer& ring);

    const RingPace& pace() const { return m_pace; }
    const ClassPlan& plan() const { return m_plan; }
    ExpectedTimes expectedTimes(const GridTable& grid, int ringRow, const QDateTime& now) const;
    ClassProgress progress(const GridTable& grid, int ringRow, const QDateTime& now) const;
    // The Tijd cell's tooltip for a row: "Verwacht ca. 10:52 (een schatting naar het tempo in de ring)" when the
    // expected time is news beside the planned one; empty otherwise.
    QString expectedTip(const GridTable& grid, int ringRow, int row, const QDateTime& now) const;

private:
    RingPace m_pace;
    ClassPlan m_plan;
    // Counts per version of the list: a cache, so asking for the progress changes nothing the station keeps.
    mutable ProgressIndex m_index;
};
