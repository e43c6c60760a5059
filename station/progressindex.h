#pragma once

#include "classplan.h"
#include "expectedtimes.h"

#include <QDateTime>
#include <vector>

class GridTable;
class RingPace;

// The class's progress ("12 van 38 gereden", "einde ca. 11:40") without a pass over the list each time the ring
// moves on: per row, how many starters, starters marked not started, starters that ride and seconds of pauses
// stand before it. They are counted once per version of the list's texts (an edit, a read) and then answer any
// starter in the ring at once, so the rider board's refresh after a move on reads only the rows it shows.
class ProgressIndex
{
public:
    // `times`: the expected times from the same starter in the ring (walked or not).
    ClassProgress progress(
        const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const ExpectedTimes& times);

private:
    void count(const GridTable& grid, const ClassPlan& plan);

    const GridTable* m_grid = nullptr;
    quint64 m_version = 0;
    bool m_counted = false;
    ClassPlan m_plan;
    // Entry r: over the rows before row r.
    std::vector<int> m_starters;
    std::vector<int> m_notStarted;
    std::vector<int> m_riding;
    std::vector<qint64> m_pauseSeconds;
};
