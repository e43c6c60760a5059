// Laying out the running order: adjust_grid on the real main window with the list shown (font size,
// grid size and every column's width from every cell's text, measured with the cached per-character
// advances), against the baseline of measuring every cell of the grid with
// QFontMetrics::horizontalAdvance and setting the same widths; and Beeld > Passend, which measures the list at
// each font size its search tries, against adjust_grid.
#include "benchsupport.h"

#include "clock.h"
#include "columns.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "gridlayout.h"
#include "gridtable.h"
#include "gridzoom.h"
#include "station.h"
#include "twips.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>

namespace {

// A main window showing a class of the given length.
class Shown
{
public:
    explicit Shown(int lines)
        : m_clock(QDateTime::currentDateTime())
    {
        const QString path = m_folder.filePath(QStringLiteral("baldovenaar rst-0001.dvz"));
        bench::writeFile(path, bench::runOrderFile(lines));
        m_window = bench::openStation(m_clock);
        m_window->station().beginOpen();
        m_window->station().finishOpen(path);
        QCoreApplication::processEvents();
    }

    ~Shown() { m_window->Form_Unload(); }

    FrmBaldovenaar& window() { return *m_window; }
    bool showsTheList(int lines) { return m_window->station().working().rows() == lines + 1; }

private:
    QTemporaryDir m_folder;
    platform::FixedClock m_clock;
    std::unique_ptr<FrmBaldovenaar> m_window;
};

std::map<int, std::unique_ptr<Shown>>* windows = nullptr;

Shown& shown(int lines)
{
    std::unique_ptr<Shown>& made = (*windows)[lines];
    if (!made)
        made = std::make_unique<Shown>(lines);
    return *made;
}

void adjustGrid(benchmark::State& state, int lines)
{
    Shown& s = shown(lines);
    if (!s.showsTheList(lines)) {
        state.SkipWithError("the class was not shown");
        return;
    }
    for (auto _ : state)
        s.window().gridZoom().adjust_grid();
}

// Beeld > Passend: the largest font at which the names fit, then the layout at it.
void passend(benchmark::State& state, int lines)
{
    Shown& s = shown(lines);
    if (!s.showsTheList(lines)) {
        state.SkipWithError("the class was not shown");
        return;
    }
    const double scale = s.window().station().state().scale;
    for (auto _ : state)
        s.window().gridZoom().passend();
    // The other benchmarks on this window lay out at the zoom they were measured at.
    s.window().station().setScale(scale);
    s.window().gridZoom().adjust_grid();
}

// Every cell of every row and column, margin and text as one string, measured by a text layout of its own.
void horizontalAdvancePerCell(benchmark::State& state, int lines)
{
    Shown& s = shown(lines);
    GridTable& table = *s.window().findChild<FlexGrid*>(QStringLiteral("grid1"))->table();
    const QFont font = s.window().findChild<QWidget*>(QStringLiteral("picTemp"))->font();
    const int gridWidth = twips::fromPixels(s.window().findChild<FlexGrid*>(QStringLiteral("grid1"))->width());
    for (auto _ : state) {
        const QFontMetrics metrics(font);
        std::array<int, gridlayout::layoutColumns> natural {};
        for (int c = 0; c < table.cols(); ++c) {
            int widest = 0;
            for (int r = 0; r < table.rows(); ++r)
                widest
                    = std::max(widest, metrics.horizontalAdvance(QStringLiteral("   ") + table.textMatrix(r, c)) * 15);
            if (c < gridlayout::layoutColumns)
                natural[size_t(c)] = c == column::Key ? 0 : widest;
        }
        const gridlayout::ColumnWidths widths = gridlayout::columnWidths(natural, table.cols(), gridWidth);
        for (int c = 0; c < gridlayout::layoutColumns; ++c) {
            if (widths[size_t(c)])
                table.setColWidth(c, *widths[size_t(c)]);
        }
        benchmark::DoNotOptimize(table.colWidth(5));
    }
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    QTemporaryDir config;
    bench::prepareStationEnvironment(config);
    QApplication app(argc, argv);
    std::map<int, std::unique_ptr<Shown>> made;
    windows = &made;

    bench::add("advance", "every cell measured with QFontMetrics::horizontalAdvance", horizontalAdvancePerCell);
    bench::add("adjust", "adjust_grid on the window, cached advances", adjustGrid);
    bench::add("passend", "Beeld > Passend on the window: the fit, then adjust_grid", passend);
    bench::speedupAtLeast("adjust-grid", "adjust", "advance", 20);
    // The search tries about ten font sizes between the smallest and the largest zoom, each a pass over the list.
    bench::ratioAtMost("passend", "passend", "adjust", 15);

    const int status = bench::run(argc, argv, "bench_layout: laying out the grid");
    made.clear();
    return status;
}
