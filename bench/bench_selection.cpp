// The selection repaint on the longest list the station holds (32 767 lines): a repaint after one line's
// flag changed against a repaint of every line, measured in the same run; and a plain click, which
// re-derives every flag and repaints, which has to fit in one frame.
#include "gridtable.h"
#include "multiselect.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int lines = GridTable::MaxRows - 1;

// The window's paint hook, called through the same kind of callback.
const codeMultiSelect::PaintRow paint = [](GridTable& grid, int row) { codeMultiSelect::paintSelectionRow(grid, row); };

void fill(GridTable& grid)
{
    grid.setCols(11);
    std::vector<QStringList> rows;
    rows.reserve(size_t(lines) + 1);
    rows.push_back(QStringList { QStringLiteral("Key"), QStringLiteral("Nr"), QStringLiteral("Ruiter") });
    for (int r = 1; r <= lines; ++r)
        rows.push_back(QStringList { QString::number(r), QString::number(r), QStringLiteral("Ruiter %1").arg(r) });
    grid.setAllRows(rows);
    grid.setFixedRows(1);
    grid.setPageRows(25);
    codeMultiSelect::GridMultiSelect_Refresh(grid, paint);
}

void BM_RefreshAfterOneRowChange(benchmark::State& state)
{
    GridTable grid;
    fill(grid);
    const int row = lines / 2;
    for (auto _ : state) {
        grid.setRowData(row, grid.rowData(row) == 1 ? 0 : 1);
        codeMultiSelect::GridMultiSelect_Refresh(grid, paint);
    }
}
BENCHMARK(BM_RefreshAfterOneRowChange)->Unit(benchmark::kMicrosecond);

// Baseline: every line changes state, so every line is painted.
void BM_RefreshAllRowsChanged(benchmark::State& state)
{
    GridTable grid;
    fill(grid);
    qint32 flag = 0;
    for (auto _ : state) {
        flag = 1 - flag;
        for (int r = 1; r <= lines; ++r)
            grid.setRowData(r, flag);
        codeMultiSelect::GridMultiSelect_Refresh(grid, paint);
    }
}
BENCHMARK(BM_RefreshAllRowsChanged)->Unit(benchmark::kMicrosecond);

// A plain click moving the current line: the grid's selection change re-derives every flag and repaints.
void BM_PlainClickSelChange(benchmark::State& state)
{
    GridTable grid;
    fill(grid);
    int row = 1;
    for (auto _ : state) {
        row = row == 100 ? 20000 : 100;
        grid.setRow(row);
        codeMultiSelect::GridMultiSelect_SelChange(grid, false, false, paint);
    }
}
BENCHMARK(BM_PlainClickSelChange)->Unit(benchmark::kMicrosecond);

// Prints the console report and, at the end, the ratios against the full repaint of the same run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto full = m_times.find("BM_RefreshAllRowsChanged");
        if (full == m_times.end() || full->second <= 0)
            return;
        for (const char* name : { "BM_RefreshAfterOneRowChange", "BM_PlainClickSelChange" }) {
            const auto it = m_times.find(name);
            if (it != m_times.end())
                std::printf("%s / full repaint of %d lines: %.3f\n", name, lines, it->second / full->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
