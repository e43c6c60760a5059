#pragma once

#include "gridtable.h"

#include <QStringView>

// The eleven columns of a running order, the same in the file's "rij" lines, in the three grids, in the
// mutation files' keys and in the office stand-in.
namespace column {

inline constexpr int Key = 0; // the line key, unique per entry; "P" on a pause line; never shown
inline constexpr int Position = 1; // the running position: stays with the place when lines move
inline constexpr int Number = 2; // the starter's back number (Nr)
// 3, 4 and 5: the text columns (rider, horse, club) that share the width the others leave.
inline constexpr int Rider = 3;
inline constexpr int Horse = 4;
inline constexpr int Club = 5;
inline constexpr int FirstShared = Rider;
inline constexpr int LastShared = Club;
// 6 to 8: what the office adds for the class (a jumping class: the category, the height of the fences and
// the planned start time, "Tijd"). The station shows them as they are.
inline constexpr int Category = 6;
inline constexpr int Height = 7;
inline constexpr int Time = 8;
inline constexpr int Status = 9; // the office's status text; an "N" in it: not started at the office
inline constexpr int Mark = 10; // the ring's not-started mark, "N" or empty
inline constexpr int Count = 11;

// How each column is aligned (all of them vertically centred).
constexpr GridTable::Alignment alignment(int col)
{
    using A = GridTable::Alignment;
    if (col <= Number)
        return A::Right;
    if (col <= LastShared || col == Status)
        return A::Left;
    return A::Center;
}

// A grid as the load handler sets it up for a running order: one fixed header row, the eleven columns with
// their alignments.
inline void setUpGrid(GridTable& grid)
{
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCols(Count);
    grid.setRows(2);
    grid.setFixedRows(1);
    grid.setFontName(QStringLiteral("Arial"));
    for (int c = 0; c < Count; ++c)
        grid.setColAlignment(c, alignment(c));
}

} // namespace column

// The key of a pause line: it never moves, and a re-read never matches it by key.
inline constexpr QStringView pauseKey = u"P";
// A key that a re-read never matches either.
inline constexpr QStringView zeroKey = u"0";
// The not-started mark of column 10 (and the letter searched for in column 9).
inline constexpr QStringView notStartedMark = u"N";

inline bool isPauseKey(QStringView key)
{
    return key == pauseKey;
}
