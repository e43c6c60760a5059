// The ring's pace on the grid data, without the screen. After the ring moves on: the pace takes the time, and
// the rider board's lines are worked out with their expected times and the class's progress ("x van y", the
// expected end), against the baseline of the board's lines alone (one pass over the rows the board reaches).
// After a move by the ring: the crowded-rider check of the rows around the moved ones, against the same
// baseline. A starter dragged 500 places (the series of one-place moves it lands as), against a fixed limit.
// For information: the expected times of every starter to the end of the class, one walk over the list,
// against a bare pass over every line.
#include "benchsupport.h"

#include "boardcontent.h"
#include "classplan.h"
#include "columns.h"
#include "crowdedriders.h"
#include "expectedtimes.h"
#include "gridtable.h"
#include "multiselect.h"
#include "progressindex.h"
#include "regels.h"
#include "ringpace.h"
#include "ringpointer.h"

namespace {

// The ring's list, the office's plan of it, and a class that has ridden a while: the ring early in the list
// (most of the list still to come), seven rounds seen.
struct RidingClass
{
    GridTable working;
    ClassPlan plan;
    RingPace pace;
    RingPointer ring;
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(10, 0));

    explicit RidingClass(int lines)
    {
        const QByteArray file = bench::runOrderFile(lines);
        bench::fillFromFile(working, file);
        working.setPageRows(25);
        plan = classPlanOf(working);
        ring.follow(working);
        for (int i = 0; i < 9 && ring.next(working); ++i) {
            now = now.addSecs(85 + 5 * (i % 3));
            pace.movedOn(now, ring.key(), false);
        }
    }
};

void boardOnly(benchmark::State& state, int lines)
{
    RidingClass c(lines);
    for (auto _ : state)
        benchmark::DoNotOptimize(boardContent(c.working, c.ring.row()));
}

// A move on and back, each followed by what the board shows: the lines with their expected times, and the
// progress.
void moveOn(benchmark::State& state, int lines)
{
    RidingClass c(lines);
    ProgressIndex index;
    bool forward = true;
    for (auto _ : state) {
        if (forward) {
            c.ring.next(c.working);
            c.pace.movedOn(c.now, c.ring.key(), false);
        } else {
            c.pace.movedBack(c.ring.key());
            c.ring.previous(c.working);
        }
        forward = !forward;
        ExpectedTimes times(c.working, c.ring.row(), c.plan, c.pace, c.now);
        BoardContent content = boardContent(c.working, c.ring.row(), nullptr, &times);
        content.progress = index.progress(c.working, c.ring.row(), c.plan, c.pace, times);
        benchmark::DoNotOptimize(content);
    }
    if (!index
             .progress(
                 c.working, c.ring.row(), c.plan, c.pace, ExpectedTimes(c.working, c.ring.row(), c.plan, c.pace, c.now))
             .end)
        state.SkipWithError("the class has no expected end");
}

// The check after a one-place move in the middle of the list (the move itself not counted).
void crowdedAfterMove(benchmark::State& state, int lines)
{
    RidingClass c(lines);
    const int row = lines / 2;
    const std::vector<std::pair<int, int>> exchange { { row, row + 1 } };
    for (auto _ : state)
        benchmark::DoNotOptimize(crowdedriders::newlyCrowded(c.working, exchange, crowdedriders::defaultMinimum));
}

// A starter dragged 500 places up and back down: one drop each time.
void drag500(benchmark::State& state, int lines)
{
    RidingClass c(lines);
    const int low = lines - lines / 4;
    const int high = std::max(1, low - 500);
    c.working.setRow(low);
    bool up = true;
    for (auto _ : state) {
        const int target = up ? high : low;
        benchmark::DoNotOptimize(regels::verplaatsNaar(c.working, target));
        up = !up;
    }
}

// Every starter's expected time to the end of the class, in one walk.
void walkToEnd(benchmark::State& state, int lines)
{
    RidingClass c(lines);
    for (auto _ : state) {
        ExpectedTimes times(c.working, c.ring.row(), c.plan, c.pace, c.now);
        benchmark::DoNotOptimize(times.end());
    }
}

// Baseline: a look at every line.
void fullPass(benchmark::State& state, int lines)
{
    RidingClass c(lines);
    for (auto _ : state) {
        int riding = 0;
        for (int r = 1; r < c.working.rows(); ++r)
            riding += RingPointer::rides(c.working, r) ? 1 : 0;
        benchmark::DoNotOptimize(riding);
    }
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    bench::add("board", "baseline: the board's lines (one pass over the rows it reaches)", boardOnly);
    bench::add("move-on", "the ring moves on: pace, board with expected times, progress", moveOn);
    bench::add("crowded", "crowded-rider check after a one-place move", crowdedAfterMove);
    bench::add("drag-500", "a starter dragged 500 places", drag500);
    bench::add("walk-to-end", "expected times of every starter to the class's end", walkToEnd);
    bench::add("full-pass", "baseline: a look at every line", fullPass);
    bench::ratioAtMost("expected-times-after-move-on", "move-on", "board", 5);
    bench::ratioAtMost("crowded-check-after-move", "crowded", "board", 4);
    bench::timeAtMost("drag-500-places", "drag-500", 20);
    bench::showRatio("walk to the end / full pass", "walk-to-end", "full-pass");
    return bench::run(argc, argv, "The ring's pace, the crowded-rider check and the drag");
}
