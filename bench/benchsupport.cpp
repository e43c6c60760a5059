#include "benchsupport.h"

#include "columns.h"
#include "frmbaldovenaar.h"
#include "gridtable.h"
#include "runorderfile.h"
#include "station.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>

namespace bench {

namespace {

// Windows-1252 bytes: ü 0xFC, é 0xE9, É 0xC9, ö 0xF6, Å 0xC5, ç 0xE7, š 0x9A, Š 0x8A, ž 0x9E, ë 0xEB.
// Names as an office's start list has them: rider with first names, horse with its breeding suffix,
// club in full.
const char* const riders[] = {
    "Anna-Maria van Oldenbarnevelt",
    "Sophie M\xFC"
    "ller-L\xFC"
    "denscheid",
    "\xC9lodie Durand",
    "Pieter-Jan Jansen",
    "Bj\xF6rn \xC5kesson",
    "Fran\xE7oise L\xE9vesque-Martin",
    "Ale\x9A Novak Kranjc",
    "Marie-Jos\xE9 van den Heuvel",
    "Hendrik-Jan Wagenaar-Smit",
    "\x8A"
    "arlota \x9Eupan Horvat",
};
const char* const horses[] = {
    "Zonnedauw Bellinda van de Kempen",
    "Quick Star van 't Hazelhof Z",
    "Cor de Chasse Z",
    "Ulrike's Dream van de Berkenhoeve",
    "H\xE9ros du Moulin de la Pomme",
    "Wervelwind",
    "No\xEBl de la Roche Blanche",
};
const char* const clubs[] = {
    "LR De Ruiters van Sint-Oedenrode",
    "PC Het Zadel Oost-Betuwe",
    "RV Sint Joris",
    "Manege Oost-Nederland",
    "Reitverein M\xFCnster-Handorf e.V.",
    "LR De Hoefslag",
};
const char* const countries[] = { "NED", "GER", "BEL", "FRA" };

QByteArray number(int value)
{
    return QByteArray::number(value);
}

QByteArray clockTime(int minutes)
{
    return QByteArray::number(minutes / 60 % 24).rightJustified(2, '0') + ':'
        + QByteArray::number(minutes % 60).rightJustified(2, '0');
}

struct Registered
{
    std::string description;
    Clock clock;
};

// Per benchmark id, in the order of registration; per id and size, the times of each run (seconds per
// iteration).
std::vector<std::string>& order()
{
    static std::vector<std::string> ids;
    return ids;
}

std::map<std::string, Registered>& registry()
{
    static std::map<std::string, Registered> entries;
    return entries;
}

struct Times
{
    double cpu = std::numeric_limits<double>::infinity();
    double wall = std::numeric_limits<double>::infinity();
    bool measured = false;
};

std::map<std::pair<std::string, int>, Times>& results()
{
    static std::map<std::pair<std::string, int>, Times> entries;
    return entries;
}

struct Target
{
    enum class Kind { RatioAtMost, SpeedupAtLeast, TimeAtMost } kind;
    std::string name;
    std::string id;
    std::string baseline;
    double limit;
    int lines;
};

struct ShownRatio
{
    std::string label;
    std::string id;
    std::string baseline;
    int lines;
};

std::vector<ShownRatio>& shownRatios()
{
    static std::vector<ShownRatio> entries;
    return entries;
}

std::vector<Target>& targets()
{
    static std::vector<Target> entries;
    return entries;
}

bool smokeMode = false;
int repetitions = 5;
bool failed = false;

// The time that counts for a benchmark: the fastest run on its clock; infinity when it did not run.
double measured(const std::string& id, int lines)
{
    const auto found = results().find({ id, lines });
    if (found == results().end() || !found->second.measured)
        return std::numeric_limits<double>::infinity();
    const auto reg = registry().find(id);
    const Clock clock = reg == registry().end() ? Clock::Cpu : reg->second.clock;
    return clock == Clock::Cpu ? found->second.cpu : found->second.wall;
}

std::string formatNumber(double value)
{
    char buffer[64];
    if (value >= 100)
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else if (value >= 10)
        std::snprintf(buffer, sizeof buffer, "%.1f", value);
    else if (value >= 1)
        std::snprintf(buffer, sizeof buffer, "%.2f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%.2g", value);
    return buffer;
}

std::string formatLimit(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string formatSize(int lines)
{
    // "32 767", as the table heads read.
    const std::string digits = std::to_string(lines);
    std::string spaced;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            spaced += ' ';
        spaced += digits[i];
    }
    return spaced;
}

std::string cpuModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                const qsizetype colon = line.indexOf(':');
                return line.mid(colon + 1).trimmed().toStdString();
            }
        }
    }
    return QSysInfo::currentCpuArchitecture().toStdString();
}

class TableReporter : public benchmark::BenchmarkReporter
{
public:
    explicit TableReporter(const char* title)
        : m_title(title)
    {
    }

    bool ReportContext(const Context& context) override
    {
        const auto& cpu = context.cpu_info;
        std::string load;
        for (double value : cpu.load_avg) {
            if (!load.empty())
                load += ' ';
            load += formatNumber(value);
        }
        std::printf("== %s\nmachine: %s, %d cores at %.0f MHz; %s; Qt %s; load average %s\n", m_title,
            cpuModel().c_str(), cpu.num_cpus, cpu.cycles_per_second / 1e6,
            QSysInfo::prettyProductName().toStdString().c_str(), qVersion(), load.c_str());
        std::fflush(stdout);
        return true;
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            if (run.error_occurred) {
                std::printf("%s failed: %s\n", run.benchmark_name().c_str(), run.error_message.c_str());
                failed = true;
                continue;
            }
            const std::string name = run.run_name.function_name;
            const size_t slash = name.rfind('/');
            if (slash == std::string::npos || run.iterations <= 0)
                continue;
            const std::string id = name.substr(0, slash);
            const int lines = std::stoi(name.substr(slash + 1));
            Times& times = results()[{ id, lines }];
            times.cpu = std::min(times.cpu, run.cpu_accumulated_time / double(run.iterations));
            times.wall = std::min(times.wall, run.real_accumulated_time / double(run.iterations));
            times.measured = true;
        }
    }

    void Finalize() override
    {
        std::vector<int> shown;
        for (int lines : sizes) {
            if (!smokeMode || lines == sizes[0])
                shown.push_back(lines);
        }
        std::printf("times in ms per run, the fastest of %d runs; cpu: the thread's CPU time, wall: elapsed time\n",
            smokeMode ? 1 : repetitions);
        std::printf("%-68s", "");
        for (int lines : shown)
            std::printf("%12s", formatSize(lines).c_str());
        std::printf("\n");
        for (const std::string& id : order()) {
            const Registered& reg = registry()[id];
            const std::string label = reg.description + (reg.clock == Clock::Cpu ? " (cpu)" : " (wall)");
            std::printf("%-68s", label.c_str());
            for (int lines : shown) {
                const double seconds = measured(id, lines);
                std::printf("%12s", std::isinf(seconds) ? "-" : formatNumber(seconds * 1e3).c_str());
            }
            std::printf("\n");
        }
        for (const ShownRatio& shown : shownRatios()) {
            const double value = measured(shown.id, shown.lines);
            const double baseline = measured(shown.baseline, shown.lines);
            if (!std::isinf(value) && !std::isinf(baseline))
                std::printf("%s: %sx\n", shown.label.c_str(), formatNumber(value / baseline).c_str());
        }
        std::fflush(stdout);
    }

private:
    const char* m_title;
};

bool printTargets()
{
    bool allMet = true;
    for (const Target& target : targets()) {
        const double value = measured(target.id, target.lines);
        const double baseline = target.baseline.empty() ? 0 : measured(target.baseline, target.lines);
        if (std::isinf(value) || std::isinf(baseline))
            continue; // filtered out of this run
        std::string shown;
        std::string limit;
        bool met = false;
        switch (target.kind) {
        case Target::Kind::RatioAtMost: {
            const double ratio = value / baseline;
            met = ratio <= target.limit;
            shown = formatNumber(ratio) + "x";
            limit = "<=" + formatLimit(target.limit) + "x";
            break;
        }
        case Target::Kind::SpeedupAtLeast: {
            const double speedup = baseline / value;
            met = speedup >= target.limit;
            shown = formatNumber(speedup) + "x";
            limit = ">=" + formatLimit(target.limit) + "x";
            break;
        }
        case Target::Kind::TimeAtMost: {
            const double ms = value * 1e3;
            met = ms <= target.limit;
            shown = formatNumber(ms) + "ms";
            limit = "<=" + formatLimit(target.limit) + "ms";
            break;
        }
        }
        std::printf("%s\n", targetLine(target.name, shown, limit, met).c_str());
        allMet = allMet && met;
    }
    return allMet;
}

} // namespace

QByteArray runOrderFile(int lines, Edition edition)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * 112 + 512);
    bytes += "owner:Bench\r\nwnr:17\r\nrid:9001\r\norder:1\r\n";
    bytes += "titel:Springen klasse M - Grote prijs van M\xFCnster\r\n";
    bytes += "datum:zaterdag 5 december 2026\r\nbegintijd:10:30\r\neditvolgorde:1\r\neditnietgestart:1\r\n";
    bytes += "rij:key\tvolg\tnr\truiter\tpaard\tvereniging\tland\thoogte\ttijd\tstatus\tng\r\n";
    // The changed edition has the first starter withdrawn: every later one moves up a place.
    int starter = edition == Edition::Changed ? 1 : 0;
    int position = 0;
    for (int line = 1; line <= lines; ++line) {
        if (line % 25 == 0) {
            bytes += "rij:P\t\t\tPauze: parcours ombouwen (15 minuten)\t\t\t\t\t\t\t\r\n";
            continue;
        }
        ++starter;
        ++position;
        const int minutes = 10 * 60 + 30 + position * 90 / 60 + (edition == Edition::Refreshed ? 2 : 0);
        const bool officeNotStarted = starter % 37 == 0 || (edition == Edition::Refreshed && starter % 41 == 0);
        bytes += "rij:" + number(100000 + starter) + '\t' + number(position) + '\t' + number(100 + starter % 900) + '\t'
            + riders[starter % std::size(riders)] + '\t' + horses[starter % std::size(horses)] + '\t'
            + clubs[starter % std::size(clubs)] + '\t' + countries[starter % std::size(countries)] + "\t1.20\t"
            + clockTime(minutes) + '\t' + (officeNotStarted ? "N" : "") + '\t' + (starter % 37 == 0 ? "N" : "")
            + "\r\n";
    }
    return bytes;
}

void fillFromFile(GridTable& grid, const QByteArray& bytes)
{
    grid.setFixedRows(0);
    grid.setRows(0);
    grid.setCols(column::Count);
    grid.addItems(parseRunOrderBytes(bytes).rijen);
    grid.setFixedRows(1);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
}

void fillWithOtherFiles(const QString& folder, int count)
{
    const QDir dir(folder);
    for (int i = 0; i < count; ++i) {
        QString name;
        switch (i % 4) {
        case 0:
            name = QStringLiteral("baldovenaar rst-%1.dvz").arg(1002 + i);
            break;
        case 1:
            name = QStringLiteral("20261207-1015%1-%2-baldovenaar-s.mut").arg(i % 60, 2, 10, QLatin1Char('0')).arg(i);
            break;
        case 2:
            name = QStringLiteral("uitslag klasse %1.pdf").arg(i);
            break;
        default:
            name = QStringLiteral("startlijst-%1.csv").arg(i);
            break;
        }
        writeFile(dir.filePath(name), QByteArray(200, 'x'));
    }
}

void add(const std::string& id, const std::string& description, SizedFunction function, Clock clock, bool slow)
{
    order().push_back(id);
    registry()[id] = Registered { description, clock };
    for (int lines : sizes) {
        if (smokeMode && lines != sizes[0])
            continue;
        auto* registered = benchmark::RegisterBenchmark((id + "/" + std::to_string(lines)).c_str(),
            [function, lines](benchmark::State& state) { function(state, lines); });
        registered->Unit(benchmark::kMillisecond);
        if (smokeMode)
            registered->Iterations(1)->Repetitions(1);
        else if (slow && lines == fullSize)
            registered->Iterations(1)->Repetitions(repetitions);
        else
            registered->MinTime(0.1)->Repetitions(repetitions);
        if (clock == Clock::Wall)
            registered->UseRealTime();
    }
}

void ratioAtMost(const std::string& name, const std::string& id, const std::string& baseline, double limit, int lines)
{
    targets().push_back(Target { Target::Kind::RatioAtMost, name, id, baseline, limit, lines });
}

void speedupAtLeast(
    const std::string& name, const std::string& id, const std::string& baseline, double limit, int lines)
{
    targets().push_back(Target { Target::Kind::SpeedupAtLeast, name, id, baseline, limit, lines });
}

void timeAtMost(const std::string& name, const std::string& id, double milliseconds, int lines)
{
    targets().push_back(Target { Target::Kind::TimeAtMost, name, id, std::string(), milliseconds, lines });
}

void showRatio(const std::string& label, const std::string& id, const std::string& baseline, int lines)
{
    shownRatios().push_back(ShownRatio { label, id, baseline, lines });
}

bool smoke()
{
    return smokeMode;
}

std::string targetLine(const std::string& name, const std::string& measured, const std::string& limit, bool met)
{
    return "target " + name + " " + measured + " " + limit + (met ? " ok" : " MISSED");
}

void init(int& argc, char** argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            smokeMode = true;
        else if (std::strncmp(argv[i], "--repetitions=", 14) == 0)
            repetitions = std::max(1, std::atoi(argv[i] + 14));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
}

int run(int argc, char** argv, const char* title)
{
    // The runs of all benchmarks are shuffled, so a busy moment on the machine does not fall on one of
    // them alone; the caller may still say otherwise.
    std::vector<char*> arguments(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    const bool saysInterleaving = std::any_of(arguments.begin() + 1, arguments.end(),
        [](const char* a) { return std::strncmp(a, "--benchmark_enable_random_interleaving", 38) == 0; });
    if (!saysInterleaving && !smokeMode)
        arguments.insert(arguments.begin() + 1, interleave);
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 2;
    TableReporter reporter(title);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const bool met = smokeMode || printTargets();
    std::fflush(stdout);
    return failed || !met ? 1 : 0;
}

void prepareStationEnvironment(const QTemporaryDir& config)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The station's journal and day log beside the settings, never in the user's own data folder.
    qputenv("XDG_DATA_HOME", (config.path() + QStringLiteral("/data")).toLocal8Bit());
    // The zoom every figure so far was measured at. Without a saved zoom the station would fit the names to the
    // window at its first list, and lay out at another font size than the earlier runs.
    writeFile(QDir(config.path()).filePath(QStringLiteral("Korvalen 3.5.ini")), "[Baldovenaar]\nscale=0.025\n");
}

std::unique_ptr<FrmBaldovenaar> openStation(platform::Clock& clock)
{
    Station::Options stationOptions;
    stationOptions.settleTime = 0;
    stationOptions.clock = &clock;
    // The figures are the station's work, not its wait for the share: a read of the longest list on a busy
    // machine may outlast the window's own wait, and would then be taken at a later look.
    stationOptions.checkTime = 10000;
    stationOptions.sendWait = 10000;
    auto station = std::make_unique<Station>(stationOptions);
    FrmBaldovenaar::Options options;
    options.showSplash = false;
    options.showMessage = [](const QString&) {};
    auto window = std::make_unique<FrmBaldovenaar>(*station, options);
    // The window's last child, so it goes after every widget that shows the station's data.
    station.release()->setParent(window.get());
    window->Form_Load();
    window->station().stopChecks();
    window->show();
    return window;
}

} // namespace bench
