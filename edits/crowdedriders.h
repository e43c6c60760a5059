#pragma once

#include <QString>
#include <utility>
#include <vector>

class GridTable;

// The warning that a move crowds a rider: after the ring moved or swapped lines, one rider whose two rounds now
// have fewer than N other starters between them (a rider on two horses needs time to change). It never refuses
// a move: the official decides. Only what the ring's own edit brought about is told, never what the office's
// list already had, so the check compares the rows around the edited ones with how they stood before the edit.
// It reads only the rows within reach of the edited ones, never the whole list. The same rider is the rider's
// text with the spaces around it trimmed, in any case; starters marked not started and pause lines ride no round
// and do not count.
namespace crowdedriders {

// Two rounds of one rider too close together, by their rows and line keys (rows change when lines move).
struct Pair
{
    int rowA = 0;
    int rowB = 0;
    QString keyA;
    QString keyB;
    QString rider;
    friend bool operator==(const Pair&, const Pair&) = default;
};

// The default N: fewer than two other starters between two rounds of one rider.
inline constexpr int defaultMinimum = 2;
// How far past pause lines and starters who do not ride the check looks for the N starters between.
inline constexpr int reach = 64;

// The pairs that the edit made of the rows `exchanges` (the lines exchanged, first to last) crowd now and did
// not before it; none when `minimum` is 0 (the check switched off).
std::vector<Pair> newlyCrowded(const GridTable& grid, const std::vector<std::pair<int, int>>& exchanges, int minimum);

// Whether a pair found earlier still stands: both lines found again (near their old rows) and still fewer than
// `minimum` riding starters apart. The pair's rows are brought up to date.
bool stillCrowded(const GridTable& grid, Pair& pair, int minimum);

// The warning in the status line: "Let op: Anna de Vries rijdt op plaats 4 en op plaats 6, met minder dan 2
// starters ertussen".
QString warningText(const GridTable& grid, const Pair& pair, int minimum);

} // namespace crowdedriders
