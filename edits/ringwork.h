#pragma once

#include "edithistory.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class GridTable;

// The ring's unsent work on a class: the order and the not-started marks of the ring's list (grid(1)) where
// they differ from the office's list they were made on (grid(2)). It is what the station keeps of the
// official's work between a close or a crash and the next start, and what it can put again on a list the
// office has changed meanwhile ("Opnieuw toepassen").
struct RingWork
{
    QString bestandspad; // the followed file the work belongs to
    QString rid; // the class's rid
    QByteArray officeList; // a digest of the office's list the work was made on (officeListDigest)
    QStringList order; // the keys of the ring's list, top to bottom, pause lines included
    QStringList notStarted; // the keys the ring marked not started
    QStringList changed; // the starters whose place or mark differs from the office's list
    QStringList changedNames; // the same starters as the official knows them: back number and rider
    QDateTime saved;

    bool isEmpty() const { return changed.isEmpty(); }
    friend bool operator==(const RingWork&, const RingWork&) = default;
};

// The work on the ring's list as it differs from the office's list now.
RingWork ringWorkOf(const GridTable& working, const GridTable& snapshot);
// Whether the ring's list holds work of its own (ringWorkOf's `changed` is not empty), without making the work:
// the office's every replace asks, and mostly the ring has none.
bool hasRingWork(const GridTable& working, const GridTable& snapshot);

// What identifies the office's list for the ring's work: its keys and positions, line by line (what decides
// whether a re-read replaces the ring's list). Texts the office may change in place do not count.
QByteArray officeListDigest(const GridTable& snapshot);

// Puts the work on the ring's list (the office's list as it is now): the starters in both lists take the
// ring's order among themselves, on the places those starters hold now; starters the office added stay where
// the office put them, pause lines where they are; the marks the ring gave starters in both lists come back.
// Only the parts allowed: the order with `reorder`, the marks with `mark`. The step holds the lines exchanged
// and the marks toggled, so the application can be undone; the selection is left to the caller.
struct Reapplication
{
    int changesBack = 0; // the changed starters that are in the list and came back
    QStringList missing; // the changed starters the office's list no longer has, by back number and rider
    EditHistory::Step step;
};
Reapplication reapply(GridTable& working, const RingWork& work, bool reorder, bool mark);

// The work as the journal file holds it (JSON, UTF-8), and back; nothing when the bytes are no such work.
QByteArray ringWorkToJson(const RingWork& work);
std::optional<RingWork> ringWorkFromJson(const QByteArray& bytes);
