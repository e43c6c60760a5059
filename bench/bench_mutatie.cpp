// A send of a full running order (32 767 lines and the header): building the six lines, and the whole send
// into a temporary folder (both copies written, flushed and moved into place, the folder cleaned up; the
// half-second pause skipped). What the official waits for beyond the pause is the second figure.

#include "appstate.h"
#include "clock.h"
#include "columns.h"
#include "gridtable.h"
#include "mutatiebestand.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int fullRows = 32768;

GridTable& fullGrid()
{
    static GridTable grid;
    if (grid.rows() == 0) {
        grid.setCols(column::Count);
        grid.addItem(u"Key\tNr");
        for (int r = 1; r < fullRows; ++r) {
            grid.addItem(QString::number(100000 + r) + QStringLiteral("\t%1\t\tRuiter\tPaard\tClub\t\t\t\t\t").arg(r)
                + (r % 11 == 0 ? QStringLiteral("N") : QString()));
        }
        grid.setFixedRows(1);
    }
    return grid;
}

void BM_MutationBytes(benchmark::State& state)
{
    const GridTable& grid = fullGrid();
    for (auto _ : state)
        benchmark::DoNotOptimize(mutationBytes(mutationRecord(grid, QStringLiteral("7"), QStringLiteral("12"))));
    state.SetItemsProcessed(state.iterations() * (fullRows - 1));
}
BENCHMARK(BM_MutationBytes)->Unit(benchmark::kMillisecond);

void BM_FullSend(benchmark::State& state)
{
    const GridTable& grid = fullGrid();
    QTemporaryDir folder;
    AppState app;
    app.bestandspad = folder.filePath(QStringLiteral("baldovenaar rst-0001.dvz"));
    app.wnr = QStringLiteral("7");
    app.rid = QStringLiteral("12");
    app.klasbekend = true;
    platform::FixedClock clock;
    for (auto _ : state) {
        const SendResult result = verzendmutatie(app, grid, clock);
        if (!result.written)
            state.SkipWithError("the send failed");
    }
    state.SetItemsProcessed(state.iterations() * (fullRows - 1));
}
BENCHMARK(BM_FullSend)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
