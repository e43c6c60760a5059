#pragma once

#include "classplan.h"

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

class GridTable;
class RingPace;

// When the starters after the one in the ring are expected to go in, at the ring's own pace (RingPace): the
// round in the ring ends one expected round after it began (the last move on), or now when that is already
// past; then each starter that rides takes one expected round, a pause line its planned length, and a starter
// marked not started no time at all. Before the class's first move on, the starter in the ring goes at its
// planned time, or now when that is past. These are estimates, and the views say so: an expected time is shown
// only beside the office's planned time, as "ca. 10:52", and only when the two are two minutes or more apart.
//
// The walk goes down the list once, from the starter in the ring, as far as the caller asks: the board asks for
// the rows it shows, a tooltip for one row, the end of the class for all. It counts in seconds since the
// midnight that began "now", so a walk over 32 767 lines costs no calendar arithmetic per line.
class ExpectedTimes
{
public:
    // An estimate that close to the planned time is no news and is not shown.
    static constexpr int shownFrom = 120;

    ExpectedTimes(
        const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const QDateTime& now);

    // Whether there is anything to expect: a starter in the ring and an expected round.
    bool isValid() const { return m_valid; }
    // The expected round in seconds (0 when there is none).
    int round() const { return m_round; }
    // When the round after the rows walked so far begins (at first: when the ring's round ends), in seconds
    // since the midnight before "now".
    qint64 nextRound() const { return m_next; }
    // When the round of the starter in the ring ends, in the same seconds.
    qint64 ringRoundEnds() const { return m_ringEnds; }
    // When the starter on `row` is expected to go in, in seconds since the midnight before "now"; rows are asked
    // in ascending order, each after the ring's. Nothing for a row that is no starter that rides, for a row at or
    // before the ring's or before one asked already, and without an expectation.
    std::optional<qint64> secondsAt(int row);
    std::optional<QDateTime> at(int row);
    // When the class is expected to end: the last starter's round over.
    std::optional<QDateTime> end();
    // A time of the walk (seconds since the midnight before "now") as a date and time.
    QDateTime dateTime(qint64 seconds) const;

private:
    const GridTable& m_grid;
    const ClassPlan& m_plan;
    QDate m_day;
    int m_row = -1; // the last row walked
    int m_round = 0;
    bool m_valid = false;
    qint64 m_next = 0; // when the round after the rows walked begins
    qint64 m_ringEnds = 0;
};

// "ca. 10:52" beside a planned time (the text of the Tijd column) when the expected time (in seconds since the
// midnight of the planned time's day) is two minutes or more away from it, or there is no planned time; empty
// otherwise.
QString expectedText(QStringView planned, const std::optional<qint64>& expected);

// How far the class is: the starters ridden or marked not started out of all of them, and when it is expected
// to end ("12 van 38 gereden", "einde ca. 11:40").
struct ClassProgress
{
    int ridden = 0;
    int total = 0;
    std::optional<QDateTime> end;
    friend bool operator==(const ClassProgress&, const ClassProgress&) = default;
};
// Straight from the list, one pass over it (ProgressIndex gives the same without one after a move on).
ClassProgress classProgress(
    const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const QDateTime& now);

// "12 van 38 gereden" and "einde ca. 11:40" as one line (the end only when the class has a pace of its own);
// empty without starters.
QString progressText(const ClassProgress& progress);
