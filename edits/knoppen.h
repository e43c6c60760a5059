#pragma once

class GridTable;
struct AppState;

// The button bar's rules: marking selected starters as not started, which edit buttons the file's
// permissions allow, and whether there is an unsent change the station may report (the send button).
// The window applies the results to its buttons; nothing here touches a widget.
namespace knoppen {

// The btnKnop indexes.
enum Knop : int { Openen = 0, NietGestart = 1, Kleiner = 2, Groter = 3, Verzenden = 4, Wissel = 5 };

// What zetknoppen enables: the two arrow buttons and the swap button need the reorder permission
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
// the ring may mark starters. The pass over the rows stops at the first changed mark.
struct SendRule
{
    bool enabled = false;
    bool orderChanged = false;
    bool markChanged = false;
};
SendRule controleerwijzigingen(const GridTable& working, const GridTable& snapshot, const AppState& state);

} // namespace knoppen
