// The station end to end, driven through the station object and shown on the real main window (offscreen),
// with the followed file in a shared folder that holds 1 000 other files:
// - a forced load, timed from the call of toonbestand to the end of the grid's first painted frame;
// - the periodic tick as Timer1 runs it, while the office has not written the file, and the repaint it
//   causes (none, when nothing changed);
// - the periodic read of an unchanged list (merged) and of a changed one (replacing the ring's list),
//   each with its repaint.
// - the official's edits through the station: a move of the current line, a mark, a starter dragged 500 places,
//   each with its step in the undo history, its line in the day log and the send rule, as the button runs them; and the
//   journal of the unsent work written after an edit (off the edit's path, on a timer), for information.
// Baselines in the same run: reading the file's bytes and splitting them into lines and fields, the floor
// no reader can beat; a bare listing of the folder; and the merge of an unchanged list entry by entry,
// every line of the new list looked up by a scan of every line of the grid.
#include "benchsupport.h"

#include "clock.h"
#include "colourtable.h"
#include "fileattributes.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "gridtable.h"
#include "runorderfile.h"
#include "station.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDirIterator>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int otherFiles = 1000;

// Counts the frames the grid paints.
class PaintCounter : public QObject
{
public:
    int frames = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++frames;
        return QObject::eventFilter(watched, event);
    }
};

// One shared folder with a class's file and 1 000 others, and the station following it.
class FollowingStation
{
public:
    explicit FollowingStation(int lines)
        : m_lines(lines)
        , m_clock(QDateTime::currentDateTime())
    {
        bench::fillWithOtherFiles(m_folder.path(), otherFiles);
        m_path = m_folder.filePath(QStringLiteral("baldovenaar rst-0001.dvz"));
        m_window = bench::openStation(m_clock);
        m_window->findChild<FlexGrid*>(QStringLiteral("grid1"))->viewport()->installEventFilter(&m_painted);
        waitForFrame();
    }

    ~FollowingStation() { m_window->Form_Unload(); }

    Station& station() { return m_window->station(); }
    const QString& path() const { return m_path; }
    QString folder() const { return m_folder.path(); }

    // The office publishes an edition: written, and flagged as written since the station's last read.
    bool publish(bench::Edition edition)
    {
        if (!bench::writeFile(m_path, fileOf(edition)))
            return false;
        return platform::setFileAttributes(m_path, platform::AttrArchive);
    }

    const QByteArray& fileOf(bench::Edition edition)
    {
        QByteArray& bytes = m_files[edition];
        if (bytes.isEmpty())
            bytes = bench::runOrderFile(m_lines, edition);
        return bytes;
    }

    // The first edition shown, as after the official opened the class.
    bool showFirstEdition()
    {
        if (!publish(bench::Edition::First))
            return false;
        station().beginOpen();
        station().finishOpen(m_path);
        return waitForFrame() && station().working().rows() > m_lines;
    }

    // Runs the event loop until the grid has painted a frame; false when none came within 10 seconds.
    // The loop sleeps while it waits, so only the station's work counts.
    bool waitForFrame()
    {
        const int before = m_painted.frames;
        bool late = false;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &limit, [&late] { late = true; });
        limit.start(10000);
        while (m_painted.frames == before && !late)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return !late;
    }

private:
    int m_lines;
    QTemporaryDir m_folder;
    QString m_path;
    platform::FixedClock m_clock;
    std::unique_ptr<FrmBaldovenaar> m_window;
    PaintCounter m_painted;
    std::map<bench::Edition, QByteArray> m_files;
};

// One station per size, made once: a window and its folder take a while to set up.
std::map<int, std::unique_ptr<FollowingStation>>* stations = nullptr;

FollowingStation& station(int lines)
{
    std::unique_ptr<FollowingStation>& made = (*stations)[lines];
    if (!made)
        made = std::make_unique<FollowingStation>(lines);
    return *made;
}

// The floor: the file's bytes read and split into lines and fields, nothing decoded, nothing stored but
// where each field starts and ends.
std::size_t readAndSplit(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    std::vector<std::pair<qsizetype, qsizetype>> fields; // start, end
    std::vector<std::size_t> lineStarts; // index of each line's first field
    const char* data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    lineStarts.push_back(0);
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c == '\t') {
            fields.emplace_back(start, i);
            start = i + 1;
        } else if (c == '\n' || c == '\r') {
            fields.emplace_back(start, i);
            if (c == '\r' && i + 1 < n && data[i + 1] == '\n')
                ++i;
            start = i + 1;
            lineStarts.push_back(fields.size());
        }
    }
    if (start < n)
        fields.emplace_back(start, n);
    return fields.size() + lineStarts.size();
}

void floorOfReading(benchmark::State& state, int lines)
{
    FollowingStation& s = station(lines);
    if (!s.publish(bench::Edition::First)) {
        state.SkipWithError("the file could not be written");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(readAndSplit(s.path()));
}

void bareListing(benchmark::State& state, int lines)
{
    FollowingStation& s = station(lines);
    for (auto _ : state) {
        QDirIterator it(s.folder(), QDir::Files | QDir::Hidden | QDir::System);
        int count = 0;
        while (it.hasNext()) {
            it.next();
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
}

void forcedLoad(benchmark::State& state, int lines)
{
    FollowingStation& s = station(lines);
    if (!s.showFirstEdition()) {
        state.SkipWithError("the class was not shown");
        return;
    }
    for (auto _ : state) {
        s.station().toonbestand(true);
        if (!s.waitForFrame()) {
            state.SkipWithError("the grid painted no frame");
            return;
        }
    }
}

void tickUnchangedFile(benchmark::State& state, int lines)
{
    FollowingStation& s = station(lines);
    if (!s.showFirstEdition()) {
        state.SkipWithError("the class was not shown");
        return;
    }
    for (auto _ : state) {
        s.station().Timer1_Timer();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    if (platform::fileAttributes(s.path()) != platform::AttrNormal)
        state.SkipWithError("the file was not found as read");
}

// A periodic read of each edition in turn; `changed` says whether the office changed the list.
void periodicRead(benchmark::State& state, int lines, bench::Edition other, bool changed)
{
    FollowingStation& s = station(lines);
    if (!s.showFirstEdition()) {
        state.SkipWithError("the class was not shown");
        return;
    }
    bool first = false;
    for (auto _ : state) {
        state.PauseTiming();
        const bool published = s.publish(first ? bench::Edition::First : other);
        first = !first;
        state.ResumeTiming();
        s.station().Timer1_Timer();
        if (!s.waitForFrame() || !published) {
            state.SkipWithError("the read was not shown");
            return;
        }
        state.PauseTiming();
        const bool asExpected = platform::fileAttributes(s.path()) == platform::AttrNormal
            && (s.station().listNews() == ListNews::New) == changed;
        state.ResumeTiming();
        if (!asExpected) {
            state.SkipWithError("the read did not go as the edition asks");
            return;
        }
    }
}

void fillFromFile(GridTable& grid, const QByteArray& bytes)
{
    const RunOrderContent content = parseRunOrderBytes(bytes);
    grid.setCols(11);
    grid.setRows(0);
    for (const QString& rij : content.rijen)
        grid.addItem(rij);
    grid.setFixedRows(1);
}

// The merge entry by entry: for each line of the new list, every line of the grid with its key (a scan
// of all of them) takes all columns but 1 and 10, and the two lines exchange their RowData.
void scanningMerge(GridTable& working, const GridTable& scratch)
{
    for (int i = 1; i < scratch.rows(); ++i) {
        const QStringView key = scratch.textView(i, 0);
        if (key == u"P" || key == u"0")
            continue;
        for (int k = 1; k < working.rows(); ++k) {
            if (working.textView(k, 0) != key)
                continue;
            for (int c = 0; c < scratch.cols(); ++c) {
                if (c != 1 && c != 10)
                    working.setTextMatrix(k, c, scratch.textMatrix(i, c));
            }
            const qint32 data = working.rowData(k);
            working.setRowData(k, working.rowData(i));
            working.setRowData(i, data);
        }
    }
}

void scanningMergeOfUnchangedList(benchmark::State& state, int lines)
{
    GridTable working;
    fillFromFile(working, bench::runOrderFile(lines, bench::Edition::First));
    GridTable refreshed;
    fillFromFile(refreshed, bench::runOrderFile(lines, bench::Edition::Refreshed));
    GridTable first;
    fillFromFile(first, bench::runOrderFile(lines, bench::Edition::First));
    bool toFirst = false;
    for (auto _ : state) {
        scanningMerge(working, toFirst ? first : refreshed);
        toFirst = !toFirst;
    }
}

// The station with its first edition shown and its second line current and selected, ready for the
// official's edits; nothing (the benchmark skipped) when the class was not shown.
Station* readyForEdits(benchmark::State& state, FollowingStation& s)
{
    if (!s.showFirstEdition()) {
        state.SkipWithError("the class was not shown");
        return nullptr;
    }
    Station& station = s.station();
    station.selectRow(2);
    return &station;
}

// An edit of the official's, through the station: alternately down and up, so the list stays the same size.
void stationMove(benchmark::State& state, int lines)
{
    Station* station = readyForEdits(state, ::station(lines));
    if (!station)
        return;
    bool down = true;
    for (auto _ : state) {
        station->verplaatsregel(down ? regels::Richting::Omlaag : regels::Richting::Omhoog);
        down = !down;
    }
}

// A starter dragged 500 places by its Volg cell and back, through the station: the moves, the undo step, the
// day log, the send rule and the crowded-rider check.
void stationDrag(benchmark::State& state, int lines)
{
    Station* station = readyForEdits(state, ::station(lines));
    if (!station)
        return;
    int low = std::min(lines, 600);
    // A pause line never moves: the starter above it is dragged.
    while (low > 1 && station->working().textMatrix(low, 0) == u"P")
        --low;
    const int high = std::max(1, low - 500);
    bool up = true;
    int moved = 0;
    for (auto _ : state) {
        station->verplaatsNaar(up ? low : station->working().row(), up ? high : low);
        moved += up && station->working().row() < low ? 1 : 0;
        up = !up;
    }
    if (moved == 0)
        state.SkipWithError("the starter did not move");
}

void stationMark(benchmark::State& state, int lines)
{
    Station* station = readyForEdits(state, ::station(lines));
    if (!station)
        return;
    for (auto _ : state)
        station->wisselnietgestart();
}

// The journal of one moved line, written whole: what the timer does after an edit.
void journalSave(benchmark::State& state, int lines)
{
    FollowingStation& s = ::station(lines);
    Station* station = readyForEdits(state, s);
    if (!station)
        return;
    station->verplaatsregel(regels::Richting::Omlaag);
    for (auto _ : state) {
        RingWork work = ringWorkOf(station->working(), station->snapshot());
        work.bestandspad = s.path();
        if (!RingJournal(station->journal().folder()).save(work))
            state.SkipWithError("the journal could not be written");
    }
}

} // namespace

int main(int argc, char** argv)
{
    bench::init(argc, argv);
    QTemporaryDir config;
    bench::prepareStationEnvironment(config);
    // A frame is painted as soon as it is asked for, not at the platform's next 5 ms tick: the time to the
    // first frame is the station's work alone.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication app(argc, argv);
    std::map<int, std::unique_ptr<FollowingStation>> made;
    stations = &made;

    // Elapsed time, baselines included: a check's file-system calls run in a thread of their own (so that a
    // share that does not answer never holds the window), which the measuring thread's CPU time would leave out.
    const bench::Clock elapsed = bench::Clock::Wall;
    bench::add("floor", "read-and-split floor: bytes read, split into lines and fields", floorOfReading, elapsed);
    bench::add("listing", "bare listing of the folder (1 001 files)", bareListing, elapsed);
    bench::add("forced", "forced load to the first painted frame", forcedLoad, elapsed);
    bench::add("tick", "periodic tick, file unchanged", tickUnchangedFile, elapsed);
    bench::add(
        "unchanged", "periodic read of an unchanged list, merged, painted",
        [](benchmark::State& state, int lines) { periodicRead(state, lines, bench::Edition::Refreshed, false); },
        elapsed);
    bench::add(
        "changed", "periodic read of a changed list, replaced, painted",
        [](benchmark::State& state, int lines) { periodicRead(state, lines, bench::Edition::Changed, true); }, elapsed);
    bench::add("literal", "merge of an unchanged list, every key by a scan of all lines", scanningMergeOfUnchangedList,
        bench::Clock::Cpu, true);
    bench::add("edit-move", "a move through the station, undo step and day log", stationMove, elapsed);
    bench::add("edit-mark", "a mark through the station, undo step and day log", stationMark, elapsed);
    bench::add("edit-drag", "a starter dragged 500 places through the station", stationDrag, elapsed);
    bench::add("journal", "the journal of unsent work written whole", journalSave, elapsed);

    bench::ratioAtMost("periodic-tick", "tick", "listing", 3);
    bench::ratioAtMost("forced-load", "forced", "floor", 15);
    bench::ratioAtMost("periodic-read-unchanged", "unchanged", "floor", 15);
    bench::speedupAtLeast("periodic-read-unchanged-vs-scan-merge", "unchanged", "literal", 100);
    bench::ratioAtMost("periodic-read-changed", "changed", "floor", 15);
    bench::timeAtMost("station-move-one-line", "edit-move", 1);
    bench::timeAtMost("station-mark-one-starter", "edit-mark", 1);
    bench::timeAtMost("station-drag-500-places", "edit-drag", 20);
    bench::showRatio("journal written / the file read and split", "journal", "floor");

    const int status = bench::run(argc, argv, "bench_station: the station and its window, end to end");
    made.clear();
    return status;
}
