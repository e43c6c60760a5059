// The periodic read of a full running order (32 767 lines): parsing, comparing and merging, each set
// against a plain baseline measured in the same run (copying every cell once).
#include "gridtable.h"
#include "runorderfile.h"
#include "runordermerge.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

namespace {

constexpr int lines = 32767;

QByteArray fullFile(const char* tag)
{
    QByteArray bytes = "owner:Bench\r\ntitel:Klasse\r\nrij:key\tnr\tNr\tRuiter\tPaard\tVer\tA\tB\tC\tStatus\tNG\r\n";
    for (int i = 1; i <= lines; ++i) {
        bytes += "rij:" + QByteArray::number(100000 + i) + "\t" + QByteArray::number(i) + "\t" + QByteArray::number(i)
            + "\tRuiter " + tag + QByteArray::number(i) + "\tPaard met een lange naam " + QByteArray::number(i)
            + "\tVereniging\tM\t120\t\t\t\r\n";
    }
    return bytes;
}

void fill(GridTable& grid, const RunOrderContent& content)
{
    grid.setCols(11);
    grid.setRows(0);
    for (const QString& rij : content.rijen)
        grid.addItem(rij);
    grid.setFixedRows(1);
}

void BM_CopyEveryCell(benchmark::State& state)
{
    const RunOrderContent content = parseRunOrderBytes(fullFile("b"));
    GridTable scratch;
    fill(scratch, content);
    GridTable working;
    fill(working, content);
    for (auto _ : state) {
        for (int r = 1; r < scratch.rows(); ++r)
            for (int c = 0; c < 11; ++c)
                working.setTextMatrix(r, c, scratch.textMatrix(r, c));
        benchmark::DoNotOptimize(working.rows());
    }
}
BENCHMARK(BM_CopyEveryCell)->Unit(benchmark::kMillisecond);

void BM_ParseFullFile(benchmark::State& state)
{
    const QByteArray bytes = fullFile("a");
    for (auto _ : state) {
        const RunOrderContent content = parseRunOrderBytes(bytes);
        benchmark::DoNotOptimize(content.rijen.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_ParseFullFile)->Unit(benchmark::kMillisecond);

void BM_CompareAndMergeUnchangedList(benchmark::State& state)
{
    GridTable snapshot;
    fill(snapshot, parseRunOrderBytes(fullFile("a")));
    GridTable scratch;
    fill(scratch, parseRunOrderBytes(fullFile("b")));
    GridTable working;
    fill(working, parseRunOrderBytes(fullFile("a")));
    for (auto _ : state) {
        const bool changed = runordermerge::listChanged(snapshot, scratch);
        runordermerge::mergeList(working, scratch);
        benchmark::DoNotOptimize(changed);
    }
}
BENCHMARK(BM_CompareAndMergeUnchangedList)->Unit(benchmark::kMillisecond);

void BM_MergeOneRepeatedKey(benchmark::State& state)
{
    GridTable scratch;
    scratch.setCols(11);
    scratch.addItem(QStringLiteral("key"));
    for (int i = 1; i <= lines; ++i)
        scratch.addItem(QStringLiteral("7\t%1\tRuiter").arg(i));
    GridTable working;
    working.setCols(11);
    working.addItem(QStringLiteral("key"));
    for (int i = 1; i <= lines; ++i)
        working.addItem(QStringLiteral("7\t%1\tRuiter").arg(i));
    for (auto _ : state)
        runordermerge::mergeList(working, scratch);
}
BENCHMARK(BM_MergeOneRepeatedKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
