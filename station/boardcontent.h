#pragma once

#include "expectedtimes.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class GridTable;
class PlaceTimes;

// What the rider board shows, worked out from the ring's list and the starter in the ring, with no widget:
// the three big lines ("In de ring", "Klaar staan", "Daarna": the starter in the ring and the next two that
// ride), and below them, in the list's order, the lines that follow: the next eight starters with the planned
// time of their place, the starters marked not started struck through, and the pause lines as bands. Not-started
// starters are never among the three; one that stands between them is listed below, struck through, with the pause
// lines that stand there, so a rider who looks for a withdrawn number finds it. Beside a planned time stands the
// time the ring's pace expects the starter, where the two are two minutes or more apart, and the heading says how
// far the class is ("12 van 38 gereden", "einde ca. 11:40").
//
// Only the rows from the starter in the ring on are read, and only as far as the board reaches: the board
// follows every edit without a pass over the whole list. The class's progress alone counts the whole list, once
// per refresh of the board.
struct BoardStarter
{
    QString number;
    QString rider;
    QString horse;
    QString time;
    // When the ring's pace has the starter going in two minutes or more away from `time`: "ca. 10:52".
    QString expected;
    friend bool operator==(const BoardStarter&, const BoardStarter&) = default;
};

struct BoardLine
{
    enum class Kind { Starter, NotStarted, Pause };
    Kind kind = Kind::Starter;
    // A pause line: its text (always beginning with "Pauze") in `rider`, its time in `time`.
    BoardStarter starter;
    friend bool operator==(const BoardLine&, const BoardLine&) = default;
};

struct BoardContent
{
    // Starters with their time below the three, and how many lines there may be at most, struck-through
    // starters and pause bands included.
    static constexpr int followingStarters = 8;
    static constexpr int maxFollowingLines = 12;

    QString titel;
    // A list to show; false in the empty view (no file of today).
    bool shown = false;
    // The list is not up to date: the office's file has not been found since `since`.
    bool stale = false;
    QDateTime since;
    // In de ring, Klaar staan, Daarna.
    std::array<std::optional<BoardStarter>, 3> top;
    std::vector<BoardLine> following;
    // How far the class is ("12 van 38 gereden", "einde ca. 11:40"): progressText(progress).
    ClassProgress progress;

    friend bool operator==(const BoardContent&, const BoardContent&) = default;
};

// The three and the lines below them, from the list and the row of the starter in the ring (-1: none). With
// `places`, each line's time is the office's time of its place, so the times read in order after moves; with
// `times`, each starter after the one in the ring has its expected time where that is news.
BoardContent boardContent(
    const GridTable& grid, int ringRow, const PlaceTimes* places = nullptr, ExpectedTimes* times = nullptr);

// The band of a pause line: its own text when it says "Pauze" itself, else "Pauze" before it.
QString pauseBand(const QString& text);
