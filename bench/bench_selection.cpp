// The official's edits on the grid data, the model work without the screen: a plain click (press,
// selection change, release), moving the current line one place, marking one starter not started, each
// with the send-button rule the station runs after it; and the selection repaint after one row's flag
// changed, against the baseline of repainting every row. From the keyboard: Shift+Down extending the
// selection, a digit of a back number typed; and what follows a move of the starter in the ring: the ring
// pointer finding it again and the rider board's lines, against a baseline pass over every line.
#include "benchsupport.h"

#include "appstate.h"
#include "boardcontent.h"
#include "columns.h"
#include "gridtable.h"
#include "keyboardselection.h"
#include "knoppen.h"
#include "multiselect.h"
#include "regels.h"
#include "ringpointer.h"
#include "typeahead.h"

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

void shiftDown(benchmark::State& state, int lines)
{
    Lists l(lines, firstRow(lines));
    KeyboardSelection keyboard;
    bool down = true;
    for (auto _ : state) {
        keyboard.extend(l.working, down ? KeyboardSelection::Step::LineDown : KeyboardSelection::Step::LineUp, paint);
        down = !down;
    }
}

void typeDigit(benchmark::State& state, int lines)
{
    Lists l(lines, firstRow(lines));
    TypeAhead typeAhead;
    // A number near the end of the list, digit by digit, each a second apart from the last: the whole list is
    // looked through for it every time.
    const QString number = l.working.textMatrix(secondRow(lines), column::Number);
    qint64 time = 0;
    for (auto _ : state) {
        time += 2000;
        benchmark::DoNotOptimize(typeAhead.type(number.isEmpty() ? QChar(u'9') : number.back(), time, l.working));
    }
}

// The starter in the ring changes places with the next line (as a move exchanges them): the pointer finds it
// again and the board works out its lines.
void ringAfterMove(benchmark::State& state, int lines)
{
    Lists l(lines, secondRow(lines));
    RingPointer ring;
    ring.follow(l.working);
    while (ring.row() >= 0 && ring.row() < secondRow(lines) && ring.next(l.working)) { }
    const int row = ring.row();
    for (auto _ : state) {
        regels::verwisselregels(l.working, row, row + 1);
        ring.follow(l.working);
        benchmark::DoNotOptimize(boardContent(l.working, ring.row()));
    }
}

// Baseline: the same exchange and a look at every line, what a board would cost that read the whole list.
void ringByFullPass(benchmark::State& state, int lines)
{
    Lists l(lines, secondRow(lines));
    const int row = secondRow(lines);
    for (auto _ : state) {
        regels::verwisselregels(l.working, row, row + 1);
        int riding = 0;
        for (int r = 1; r < l.working.rows(); ++r)
            riding += RingPointer::rides(l.working, r) ? 1 : 0;
        benchmark::DoNotOptimize(riding);
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
    bench::add("shift-down", "Shift+Down: the selection one row longer", shiftDown);
    bench::add("type", "a digit of a back number typed", typeDigit);
    bench::add("ring", "the starter in the ring moved: pointer and board", ringAfterMove);
    bench::add("ring-full", "baseline: the same and a look at every line", ringByFullPass);

    bench::ratioAtMost("repaint-one-row", "refresh-one", "refresh-all", 0.05);
    bench::timeAtMost("plain-click", "click", 1);
    bench::timeAtMost("move-one-line", "move", 1);
    bench::timeAtMost("mark-one-starter", "mark", 1);
    bench::timeAtMost("shift-down", "shift-down", 1);
    bench::timeAtMost("type-a-digit", "type", 1);
    bench::ratioAtMost("board-without-full-pass", "ring", "ring-full", 0.05);
    return bench::run(argc, argv, "bench_selection: the official's edits on the grid data, no screen");
}
