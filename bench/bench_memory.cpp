// Memory: how much the station's resident size grows when it shows a running order, over the empty
// station, against the size of the file. Each list is measured in a process of its own (this program
// runs itself with --child), so no earlier list's memory counts: the real main window, offscreen, first
// with no file, then after the forced read has painted the list, and again after the office's periodic
// rewrites were read (an unchanged list merged, a changed one replacing it, and back), when the scratch
// list of a periodic read holds its lines too.
#include "benchsupport.h"

#include "clock.h"
#include "fileattributes.h"
#include "frmbaldovenaar.h"
#include "station.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

// The process's resident size in bytes, where the system tells it.
std::optional<qint64> residentBytes()
{
#ifdef Q_OS_LINUX
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    return fields[1].toLongLong() * qint64(sysconf(_SC_PAGESIZE));
#else
    return std::nullopt;
#endif
}

// Lets the window do everything it has to do (the layout, the painting) before the next measurement.
void settle()
{
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(300))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

int child(int argc, char** argv, int lines)
{
    QTemporaryDir config;
    bench::prepareStationEnvironment(config);
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("baldovenaar rst-0001.dvz"));
    const QByteArray first = bench::runOrderFile(lines);
    const QByteArray refreshed = bench::runOrderFile(lines, bench::Edition::Refreshed);
    const QByteArray changed = bench::runOrderFile(lines, bench::Edition::Changed);
    if (!bench::writeFile(path, first))
        return 1;

    platform::FixedClock clock(QDateTime::currentDateTime());
    auto window = bench::openStation(clock);
    settle();
    const auto empty = residentBytes();

    Station& station = window->station();
    station.beginOpen();
    station.finishOpen(path);
    settle();
    const auto shown = residentBytes();

    for (const QByteArray* edition : { &refreshed, &changed, &first }) {
        if (!bench::writeFile(path, *edition) || !platform::setFileAttributes(path, platform::AttrArchive))
            return 1;
        station.Timer1_Timer();
        settle();
    }
    const auto afterReads = residentBytes();
    if (!empty || !shown || !afterReads || station.working().rows() != lines + 1)
        return 1;
    std::printf("memory %d %lld %lld %lld %lld\n", lines, qint64(first.size()), *empty, *shown, *afterReads);
    window->Form_Unload();
    return 0;
}

struct Measured
{
    int lines = 0;
    qint64 fileBytes = 0;
    qint64 empty = 0;
    qint64 shown = 0;
    qint64 afterReads = 0;
};

std::optional<Measured> measure(const char* program, int lines)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromLocal8Bit(program), { QStringLiteral("--child"), QString::number(lines) });
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        Measured m;
        long long bytes = 0, empty = 0, shown = 0, after = 0;
        if (std::sscanf(line.constData(), "memory %d %lld %lld %lld %lld", &m.lines, &bytes, &empty, &shown, &after)
            == 5) {
            m.fileBytes = bytes;
            m.empty = empty;
            m.shown = shown;
            m.afterReads = after;
            return m;
        }
    }
    return std::nullopt;
}

double megabytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return child(argc, argv, std::atoi(argv[2]));
    bench::init(argc, argv);
    if (!residentBytes()) {
        std::printf("== bench_memory: the resident size is not known on this system; nothing measured\n");
        return 0;
    }

    std::printf("== bench_memory: resident size of the main window, offscreen, each list in a process of its own\n");
    std::printf("%-10s%12s%14s%14s%14s%22s%22s\n", "lines", "file MiB", "empty MiB", "shown MiB", "read MiB",
        "growth shown / file", "growth read / file");
    bool failed = false;
    std::optional<Measured> full;
    for (int lines : bench::sizes) {
        if (bench::smoke() && lines != bench::sizes[0])
            continue;
        const std::optional<Measured> m = measure(argv[0], lines);
        if (!m) {
            std::printf("%-10d the measurement failed\n", lines);
            failed = true;
            continue;
        }
        std::printf("%-10d%12.2f%14.1f%14.1f%14.1f%21.1fx%21.1fx\n", lines, megabytes(m->fileBytes),
            megabytes(m->empty), megabytes(m->shown), megabytes(m->afterReads),
            double(m->shown - m->empty) / double(m->fileBytes),
            double(m->afterReads - m->empty) / double(m->fileBytes));
        if (lines == bench::fullSize)
            full = m;
    }
    std::fflush(stdout);
    if (bench::smoke())
        return failed ? 1 : 0;
    bool met = false;
    if (full) {
        const double ratio = double(full->shown - full->empty) / double(full->fileBytes);
        met = ratio <= 14;
        char measured[32];
        std::snprintf(measured, sizeof measured, "%.1fx", ratio);
        std::printf("%s\n", bench::targetLine("memory", measured, "<=14x", met).c_str());
    }
    return failed || !met ? 1 : 0;
}
