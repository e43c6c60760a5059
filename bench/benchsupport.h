#pragma once

#include <QByteArray>
#include <QString>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class FrmBaldovenaar;
class GridTable;
class QTemporaryDir;
namespace platform {
class Clock;
}

// What every benchmark program of the station shares: the generated running-order files, the sizes they
// run at, one registration per size, and the report: a table of the times per size, then one line per
// target, "target <name> <measured> <limit> ok" (or "MISSED"). A program's exit status is non-zero when
// a benchmark failed or a target was missed.
//
// Every target is a ratio against a baseline measured in the same run (or, for the edits, a time that
// is small against anything the official could notice). Each benchmark runs several times, interleaved
// with the others in random order, and the fastest run counts: on a shared machine other work only ever
// makes a run slower. Times are the measuring thread's CPU time unless a benchmark waits on the disk,
// where the wall clock counts.
//
// With --smoke a program runs every benchmark once, on the smallest list, one iteration, and checks no
// target: what ctest runs, so timing never decides a test.
namespace bench {

// The lists every benchmark runs on: lines below the header. The last is the longest the file allows.
inline constexpr int sizes[] = { 100, 1000, 32767 };
inline constexpr int fullSize = 32767;

// Which version of a class's file the office publishes.
enum class Edition {
    First,
    // The same starters at the same positions, other start times and statuses: an unchanged list.
    Refreshed,
    // The first starter withdrawn, the rest moved up and renumbered: a changed list.
    Changed,
};

// A running-order file as the office writes it: Windows-1252, CR LF, the header values, the column
// titles and `lines` lines, a pause line every 25th line, names of realistic length with letters above
// 0x7F, now and then a starter the office has as not started.
QByteArray runOrderFile(int lines, Edition edition = Edition::First);

// Fills a grid with the lines of a file as the loader does: the header row fixed, eleven columns.
void fillFromFile(GridTable& grid, const QByteArray& bytes);

// Writes bytes to a file whole (creating or truncating it); false when that failed.
bool writeFile(const QString& path, const QByteArray& bytes);

// Fills a folder with `count` files that are not the followed class's: other classes' running orders,
// mutation files (hidden ones among them), the office's exports.
void fillWithOtherFiles(const QString& folder, int count);

// Before the QApplication of a program that opens the station: Qt's offscreen platform unless another
// is set, and the station's settings in `config`, never the user's, with the zoom factor 0.025.
void prepareStationEnvironment(const QTemporaryDir& config);

// The station and its main window as the benchmarks run them, loaded and shown: no splash and no message
// boxes, "now" from `clock`, a changed file read at the first look (the wait for the office to finish
// writing it is no work of the station), and its re-read timer stopped (the benchmarks run the ticks). The
// window owns its station (window->station()): both go with it.
std::unique_ptr<FrmBaldovenaar> openStation(platform::Clock& clock);

// The measuring clock of a benchmark.
enum class Clock { Cpu, Wall };

using SizedFunction = std::function<void(benchmark::State&, int lines)>;

// Registers `function` once per size (only the smallest with --smoke) under "<id>/<lines>"; the table
// shows it as `description`. `slow` benchmarks run once per repetition at the full size.
void add(const std::string& id, const std::string& description, SizedFunction function, Clock clock = Clock::Cpu,
    bool slow = false);

// Targets on the fastest runs at the full size (or `lines`).
// measured(id) / measured(baseline) must be at most `limit`.
void ratioAtMost(
    const std::string& name, const std::string& id, const std::string& baseline, double limit, int lines = fullSize);
// measured(baseline) / measured(id) must be at least `limit` (id is that many times faster).
void speedupAtLeast(
    const std::string& name, const std::string& id, const std::string& baseline, double limit, int lines = fullSize);
// measured(id) must be at most `milliseconds`.
void timeAtMost(const std::string& name, const std::string& id, double milliseconds, int lines = fullSize);

// Takes the program's own options out of the command line: --smoke, --repetitions=N (5 by default).
// Call first, before registering.
void init(int& argc, char** argv);
// A ratio shown under the table for information, checked against nothing.
void showRatio(const std::string& label, const std::string& id, const std::string& baseline, int lines = fullSize);

bool smoke();

// Runs every registered benchmark (Google Benchmark's options apply), prints the table and the targets.
// Returns the exit status; `title` heads the table.
int run(int argc, char** argv, const char* title);

// A target line, as run prints it: "target <name> <measured> <limit> ok|MISSED".
std::string targetLine(const std::string& name, const std::string& measured, const std::string& limit, bool met);

} // namespace bench
