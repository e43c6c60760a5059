#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

class GridTable;

// Moving and swapping lines of the ring's list (grid(1)). A line takes every column with it except
// column 1, the running position, which belongs to the place in the list; the selection flags (RowData)
// stay with the places too. Pause lines never move: a moving line hops over them, and a swap that
// involves one is refused. Only the grid changes; whether the ring may reorder at all (editvolgorde) is
// the caller's check.
namespace regels {

// Which way a line moves; the values are the indexes of the two move buttons (btnVerplaatsregels).
enum class Richting : int { Omhoog = 0, Omlaag = 1 };

// Exchanges the texts of two rows in every column but column 1.
void verwisselregels(GridTable& grid, int rowA, int rowB);

// Moves the current line to the nearest non-pause line above or below, whose line takes its place; a
// pause line moves nothing. The line that ends current is made visible and becomes the
// one selected row, as a plain click on it would (so NG and swap then act on it). Returns that row.
int verplaatsregel(GridTable& grid, Richting richting);

// Where the current line lands when the official drags it to the row `pointed`: as far as one-place moves
// towards it go without passing it, so a pause line pointed at keeps the line on the near side of it. A pointer
// beyond the list counts as its first or last data row. The line's own row when it cannot move.
int landingRow(const GridTable& grid, int from, int pointed);

// Moves the current line to `target` (a landing row) as the same series of one-place moves the move buttons make
// (pause lines stay in place, column 1 stays with the place), with one repaint of the selection at the end
// instead of one per place, so a move over hundreds of places stays instant. The line ends current and the one
// selected row, as after a move by button. Gives the rows exchanged, first to last (none when nothing moved).
std::vector<std::pair<int, int>> verplaatsNaar(GridTable& grid, int target);

// Why the selected rows cannot be swapped ("Selecteer 2 rijen", or "Pauzeregels kunnen niet verplaatst
// worden."), or an empty text when exactly two non-pause rows are selected.
QString controleerwissel(const GridTable& grid);

// Swaps the two selected rows (after controleerwissel allowed it); they stay selected and now show each
// other's starters. Gives the two rows; nothing when there are not exactly two selected rows.
std::optional<std::pair<int, int>> wisselrijen(GridTable& grid);

// The held move button's next repeat interval after a tick at `interval` ms: 300, then 200, then 100
// from there on.
int nextRepeatInterval(int interval);

// The first repeat interval: the second move comes 300 ms after the press.
inline constexpr int firstRepeatInterval = 300;

} // namespace regels
