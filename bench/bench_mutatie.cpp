// The send button's work without its half-second pause: both copies of the mutation file written whole
// (each flushed to the disk under a temporary name, made hidden, moved into place), the earlier days'
// files purged and the class's older files pruned, in a shared folder that holds 1 000 other files.
// Baselines: the same bytes written to one file twice (the target's), and the same flushed to the disk each time, as
// the send flushes its copies so that a power cut never leaves the office an empty snapshot. These
// wait on the disk, so the wall clock counts.
#include "benchsupport.h"

#include "appstate.h"
#include "clock.h"
#include "gridtable.h"
#include "mutatiebestand.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

struct Send
{
    QTemporaryDir folder;
    GridTable grid;
    AppState state;
    platform::FixedClock clock;
    QByteArray bytes; // what a send writes

    explicit Send(int lines)
    {
        bench::fillWithOtherFiles(folder.path(), 1000);
        bench::fillFromFile(grid, bench::runOrderFile(lines));
        state.setBestandspad(folder.filePath(QStringLiteral("baldovenaar rst-0001.dvz")));
        state.wnr = QStringLiteral("17");
        state.rid = QStringLiteral("9001");
        state.klasbekend = true;
        bytes = mutationBytes(mutationRecord(grid, state.wnr, state.rid));
    }
};

bool writeOnce(const QString& path, const QByteArray& bytes, bool flushToDisk)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    if (flushToDisk) {
#ifdef Q_OS_WIN
        return _commit(file.handle()) == 0;
#else
        return ::fsync(file.handle()) == 0;
#endif
    }
    return true;
}

void writeTwice(benchmark::State& state, int lines, bool flushToDisk)
{
    Send s(lines);
    const QString path = s.folder.filePath(QStringLiteral("twice.mut"));
    for (auto _ : state) {
        if (!writeOnce(path, s.bytes, flushToDisk) || !writeOnce(path, s.bytes, flushToDisk)) {
            state.SkipWithError("the file could not be written");
            return;
        }
    }
}

void send(benchmark::State& state, int lines)
{
    Send s(lines);
    for (auto _ : state) {
        // A second later each time: each send writes new names and prunes the previous send's.
        s.clock.setNow(s.clock.now().addSecs(1));
        const SendResult result = verzendmutatie(s.state, s.grid, s.clock);
        if (!result.written) {
            state.SkipWithError("the send failed");
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    QCoreApplication app(argc, argv);
    bench::add(
        "twice", "the same bytes written to one file twice",
        [](benchmark::State& state, int lines) { writeTwice(state, lines, false); }, bench::Clock::Wall);
    bench::add(
        "twice-flushed", "the same, flushed to the disk each time",
        [](benchmark::State& state, int lines) { writeTwice(state, lines, true); }, bench::Clock::Wall);
    bench::add("send", "send: two copies, purge, prune (no pause)", send, bench::Clock::Wall);
    bench::ratioAtMost("send", "send", "twice", 10);
    bench::showRatio("send / the same bytes written twice, flushed to the disk", "send", "twice-flushed");
    return bench::run(argc, argv, "bench_mutatie: the send");
}
