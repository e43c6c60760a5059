#pragma once

#include "gridtable.h"

#include <QPointer>
#include <set>

class AppState;

// The button bar's rules: marking selected starters as not started, which edit buttons the file's
// permissions allow, and whether there is an unsent change the station may report (the send button).
// The window applies the results to its buttons; nothing here touches a widget.
namespace knoppen {

// The btnKnop indexes.
enum Knop : int { Openen = 0, NietGestart = 1, Kleiner = 2, Groter = 3, Verzenden = 4, Wissel = 5 };

// The file's two permissions, the one place they are read: the ring may reorder lines (editvolgorde 1),
// and may mark starters as not started (editnietgestart 1). Any other value allows nothing.
bool mayReorder(const AppState& state);
bool mayMarkNotStarted(const AppState& state);

// What zetknoppen enables: the two move buttons and the swap button need the reorder permission
// (editvolgorde 1), the NG button the not-started permission (editnietgestart 1).
struct EditButtons
{
    bool volgorde = false;
    bool nietGestart = false;
};
EditButtons zetknoppen(const AppState& state);

// Toggles the not-started mark (column 10, "N" or empty) of every selected line that is no pause line,
// each by itself. Only with the not-started permission; false (and nothing changed) without it.
bool wisselnietgestart(GridTable& grid, const AppState& state);

// Whether a line's mark differs from the office's status: marked "N" at the ring while column 9 holds no
// "N", or the other way round.
bool markChanged(const GridTable& grid, int row);

// The send-button rule: the ring's list differs from the file in its order (a key differs from the
// snapshot's at some row, or the snapshot has no such row) and the ring may reorder, or in a mark and
// the ring may mark starters. Both kinds are looked for over the whole list: a changed mark the ring may
// not report never hides a change of order it may report.
struct SendRule
{
    bool enabled = false;
    bool orderChanged = false;
    bool markChanged = false;
};
SendRule controleerwijzigingen(const GridTable& working, const GridTable& snapshot, const AppState& state);

// The send rule for the window, which asks after every edit, every read and every tick: the same answer
// as controleerwijzigingen, but it remembers which rows differ from the snapshot in their key and which
// in their mark, and looks again only at the rows whose texts changed since it last looked (all of them
// when the grids cannot tell, or when other grids are given). A move or a mark then costs a look at the
// rows it changed, not a pass over 32 767 lines.
class SendRuleTracker
{
public:
    SendRule evaluate(const GridTable& working, const GridTable& snapshot, const AppState& state);

private:
    void update(const GridTable& working, const GridTable& snapshot, int row);

    QPointer<const GridTable> m_working;
    QPointer<const GridTable> m_snapshot;
    int m_workingRows = -1;
    int m_snapshotRows = -1;
    quint64 m_workingVersion = 0;
    quint64 m_snapshotVersion = 0;
    std::set<int> m_orderRows; // rows whose key differs from the snapshot's, or that it does not have
    std::set<int> m_markRows; // rows with the snapshot's key whose mark differs from the office's status
};

} // namespace knoppen
