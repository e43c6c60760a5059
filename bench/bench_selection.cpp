// The official's edits on the grid data, the model work without the screen: a plain click (press,
// selection change, release), moving the current line one place, marking one starter not started, each
// with the send-button rule the station runs after it; and the selection repaint after one row's flag
// changed, against the baseline of repainting every row.
#include "benchsupport.h"

#include "appstate.h"
#include "gridtable.h"
#include "knoppen.h"
#include "multiselect.h"
#include "regels.h"

#include <memory>

namespace {

// The station's paint hook, called through the same kind of callback.
const codeMultiSelect::PaintRow paint = [](GridTable& grid, int row) { codeMultiSelect::paintSelectionRow(grid, row); };

// The ring's list and the snapshot of the file, as after a forced read, row `current` selected.
struct Lists
{
    GridTable working;
    GridTable snapshot;
    AppState state;
    knoppen::SendRuleTracker rule;

    Lists(int lines, int current)
    {
        const QByteArray file = bench::runOrderFile(lines);
        bench::fillFromFile(working, file);
        bench::fillFromFile(snapshot, file);
        working.setPageRows(25);
        state.editvolgorde = 1;
        state.editnietgestart = 1;
        working.setRow(current);
        codeMultiSelect::GridMultiSelect_SelChange(working, false, false, paint);
        rule.evaluate(working, snapshot, state);
    }
};

// Two rows far apart; the second is no pause line.
int firstRow(int lines)
{
    return std::min(lines, 100) / 2 + 1;
}
int secondRow(int lines)
{
    return lines - lines / 3;
}

void plainClick(benchmark::State& state, int lines)
{
    Lists l(lines, firstRow(lines));
    bool shift = false;
    bool ctrl = false;
    int row = firstRow(lines);
    for (auto _ : state) {
        row = row == firstRow(lines) ? secondRow(lines) : firstRow(lines);
        // As the grid reports a press: MouseDown, its own move to the pressed cell, the selection change.
        codeMultiSelect::GridMultiSelect_MouseDown(l.working, codeMultiSelect::leftButton, 0, shift, ctrl, paint);
        l.working.setRow(row);
        l.working.setCol(3);
        codeMultiSelect::GridMultiSelect_SelChange(l.working, shift, ctrl, paint);
        codeMultiSelect::GridMultiSelect_MouseUp(l.working, codeMultiSelect::leftButton, shift, ctrl, paint);
    }
    if (!codeMultiSelect::isSelected(l.working, row))
        state.SkipWithError("the clicked row is not selected");
}

void moveOneLine(benchmark::State& state, int lines)
{
    Lists l(lines, secondRow(lines));
    bool down = true;
    for (auto _ : state) {
        regels::verplaatsregel(l.working, down ? regels::Richting::Omlaag : regels::Richting::Omhoog);
        down = !down;
        benchmark::DoNotOptimize(l.rule.evaluate(l.working, l.snapshot, l.state));
    }
}

void markOneStarter(benchmark::State& state, int lines)
{
    Lists l(lines, secondRow(lines));
    for (auto _ : state) {
        knoppen::wisselnietgestart(l.working, l.state);
        benchmark::DoNotOptimize(l.rule.evaluate(l.working, l.snapshot, l.state));
    }
}

void refreshAfterOneRow(benchmark::State& state, int lines)
{
    Lists l(lines, secondRow(lines));
    const int row = firstRow(lines);
    for (auto _ : state) {
        l.working.setRowData(row, l.working.rowData(row) == 1 ? 0 : 1);
        codeMultiSelect::GridMultiSelect_Refresh(l.working, paint);
    }
}

// Baseline: every row changes state, so every row is painted.
void refreshEveryRow(benchmark::State& state, int lines)
{
    Lists l(lines, secondRow(lines));
    qint32 flag = 0;
    for (auto _ : state) {
        flag = 1 - flag;
        for (int r = 1; r < l.working.rows(); ++r)
            l.working.setRowData(r, flag);
        codeMultiSelect::GridMultiSelect_Refresh(l.working, paint);
    }
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    bench::add("refresh-all", "selection repaint, every row changed", refreshEveryRow);
    bench::add("refresh-one", "selection repaint, one row changed", refreshAfterOneRow);
    bench::add("click", "plain click: press, selection change, release", plainClick);
    bench::add("move", "move the current line one place, send rule", moveOneLine);
    bench::add("mark", "mark one starter not started, send rule", markOneStarter);

    bench::ratioAtMost("repaint-one-row", "refresh-one", "refresh-all", 0.05);
    bench::timeAtMost("plain-click", "click", 1);
    bench::timeAtMost("move-one-line", "move", 1);
    bench::timeAtMost("mark-one-starter", "mark", 1);
    return bench::run(argc, argv, "bench_selection: the official's edits on the grid data, no screen");
}
