// Laying out a full running order (32 767 lines and the header, 11 columns): the column widths as
// adjust_grid computes them with the cached per-character advances, against the baseline of laying
// out every cell with QFontMetrics::horizontalAdvance. The ratio of the two is printed at the end.

#include "gridlayout.h"
#include "gridtable.h"
#include "textmeasurer.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int fullRows = 32768;
constexpr int gridWidthTwips = 13485;

std::vector<QStringList> runningOrder()
{
    static const char* const riders[]
        = { "Jan de Vries", "Anna-Maria van Oldenbarnevelt", "Sophie Müller", "Pieter Jansen", "Élodie Durand" };
    static const char* const horses[]
        = { "Zonnedauw Bellinda", "Quick Star", "Wervelwind", "Cor de Chasse Z", "Ulrike's Dream" };
    static const char* const clubs[] = { "LR De Ruiters", "PC Het Zadel", "RV Sint Joris", "Manege Oost" };
    std::vector<QStringList> rows;
    rows.reserve(fullRows);
    rows.push_back({ "Key", "Nr", "Tijd", "Ruiter", "Paard", "Vereniging", "Fout", "Tijd", "Punten", "Status", "NG" });
    for (int r = 1; r < fullRows; ++r) {
        rows.push_back({ QString::number(100000 + r), QString::number(r),
            QStringLiteral("%1:%2").arg(8 + r / 600).arg(r % 60, 2, 10, QLatin1Char('0')),
            QString::fromUtf8(riders[r % 5]), QString::fromUtf8(horses[r % 5]), QString::fromUtf8(clubs[r % 4]),
            QString::number(r % 3 * 4), QStringLiteral("%1.%2").arg(60 + r % 20).arg(r % 100), QString::number(r % 7),
            r % 11 == 0 ? QStringLiteral("N") : QString(), QString() });
    }
    return rows;
}

QFont gridFont()
{
    return gridlayout::layoutFont(QFont(QStringLiteral("Arial")), 25);
}

void adjustWithCachedAdvances(benchmark::State& state, GridTable& table)
{
    for (auto _ : state) {
        // A fresh measurer per layout, as the window makes one per adjust_grid.
        TextMeasurer measurer(gridFont());
        gridlayout::adjustColumns(table, measurer, gridWidthTwips);
        benchmark::DoNotOptimize(table.colWidth(5));
    }
    state.SetItemsProcessed(state.iterations() * table.rows() * table.cols());
}

void adjustWithHorizontalAdvancePerCell(benchmark::State& state, GridTable& table)
{
    for (auto _ : state) {
        const QFontMetrics metrics(gridFont());
        std::array<int, gridlayout::layoutColumns> natural {};
        for (int c = 1; c < table.cols(); ++c) {
            for (int r = 0; r < table.rows(); ++r) {
                const int width = metrics.horizontalAdvance(QStringLiteral("   ") + table.textMatrix(r, c)) * 15;
                natural[size_t(c)] = std::max(natural[size_t(c)], width);
            }
        }
        const gridlayout::ColumnWidths widths = gridlayout::columnWidths(natural, table.cols(), gridWidthTwips);
        for (int c = 0; c < gridlayout::layoutColumns; ++c) {
            if (widths[size_t(c)])
                table.setColWidth(c, *widths[size_t(c)]);
        }
        benchmark::DoNotOptimize(table.colWidth(5));
    }
    state.SetItemsProcessed(state.iterations() * table.rows() * table.cols());
}

// The console report, plus the time of each benchmark kept for the ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void printRatio() const
    {
        const auto cached = m_times.find("BM_AdjustColumns_CachedAdvances");
        const auto baseline = m_times.find("BM_AdjustColumns_HorizontalAdvancePerCell");
        if (cached == m_times.end() || baseline == m_times.end() || cached->second <= 0)
            return;
        std::printf("\nhorizontalAdvance per cell / cached advances: %.1f times\n", baseline->second / cached->second);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no display is needed to measure them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    GridTable table;
    table.setCols(11);
    table.setAllRows(runningOrder());
    benchmark::RegisterBenchmark("BM_AdjustColumns_CachedAdvances", adjustWithCachedAdvances, std::ref(table))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(
        "BM_AdjustColumns_HorizontalAdvancePerCell", adjustWithHorizontalAdvancePerCell, std::ref(table))
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    return 0;
}
