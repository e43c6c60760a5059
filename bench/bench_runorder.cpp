// The pieces of a read of the running order, on the grid data alone: parsing the file's bytes, filling
// the ring's list and the snapshot, and bringing a re-read in (compared, then merged or replaced); and
// the merge of a list whose lines all carry the same key, which a merge that scans for each key makes
// quadratic. Bench_station times the whole read, on the station and its window.
#include "benchsupport.h"

#include "gridtable.h"
#include "runorderfile.h"
#include "runordermerge.h"

namespace {

void parse(benchmark::State& state, int lines)
{
    const QByteArray bytes = bench::runOrderFile(lines);
    for (auto _ : state) {
        const RunOrderContent content = parseRunOrderBytes(bytes);
        benchmark::DoNotOptimize(content.rijen.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void fillBothGrids(benchmark::State& state, int lines)
{
    const RunOrderContent content = parseRunOrderBytes(bench::runOrderFile(lines));
    GridTable working;
    GridTable snapshot;
    for (GridTable* grid : { &working, &snapshot })
        grid->setCols(11);
    for (auto _ : state) {
        for (GridTable* grid : { &working, &snapshot }) {
            grid->setFixedRows(0);
            grid->setRows(0);
            grid->addItems(content.rijen);
            grid->setFixedRows(1);
        }
    }
}

// A re-read of the edition `other` and of the first edition in turn, compared with the snapshot and then
// merged or replaced as the loader does.
void bringIn(benchmark::State& state, int lines, bench::Edition other)
{
    const QByteArray first = bench::runOrderFile(lines);
    const QByteArray second = bench::runOrderFile(lines, other);
    GridTable working;
    GridTable snapshot;
    GridTable scratch;
    bench::fillFromFile(working, first);
    bench::fillFromFile(snapshot, first);
    bool toFirst = false;
    for (auto _ : state) {
        bench::fillFromFile(scratch, toFirst ? first : second);
        toFirst = !toFirst;
        if (runordermerge::listChanged(snapshot, scratch))
            runordermerge::replaceList(working, snapshot, scratch);
        else
            runordermerge::mergeList(working, scratch);
    }
}

void mergeOneRepeatedKey(benchmark::State& state, int lines)
{
    GridTable scratch;
    GridTable working;
    for (GridTable* grid : { &scratch, &working }) {
        grid->setCols(11);
        grid->addItem(QStringLiteral("key"));
        for (int i = 1; i <= lines; ++i)
            grid->addItem(QStringLiteral("7\t%1\tRuiter %2").arg(i).arg(grid == &scratch ? i : -i));
    }
    for (auto _ : state)
        runordermerge::mergeList(working, scratch);
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    bench::add("parse", "parse the file's bytes", parse);
    bench::add("fill", "fill the ring's list and the snapshot", fillBothGrids);
    bench::add("merge", "re-read: fill the scratch list, compare, merge",
        [](benchmark::State& state, int lines) { bringIn(state, lines, bench::Edition::Refreshed); });
    bench::add("replace", "re-read: fill the scratch list, compare, replace",
        [](benchmark::State& state, int lines) { bringIn(state, lines, bench::Edition::Changed); });
    bench::add("repeated", "merge of a list whose lines all have one key", mergeOneRepeatedKey);
    return bench::run(argc, argv, "bench_runorder: reading the running order, on the grid data");
}
