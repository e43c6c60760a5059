// A station with the live page on, for the tests and tools that need one in a process of its own: the real
// browser's test (tests/browser) and the load and hostile tool (bench/liveload). It follows a class of the test
// kit (20 starters, a pause, one withdrawn) on a clock pinned to the test day, serves the page on 127.0.0.1 at
// the port given (0: any; the port is printed as "poort N"), and takes commands on its standard input, one a
// line, answering each with "ok" (or "fout"):
//
//   volgende / vorige          the starter in the ring moves on or back
//   omhoog N / omlaag N        the line of back number N moves up or down
//   ng N                       the starter with back number N is marked not started (or unmarked)
//   weg                        the office's file is gone at the next check: the list stays, greyed
//   tal                        the figures since start: CPU time, the largest delay of a posted event, memory
//   stop                       the station stops
//
// The delay is measured as a window would see it: an event posted every 20 ms on the station's thread, and how
// late it ran.
#include "classfile.h"
#include "columns.h"
#include "livepage.h"
#include "liveserver.h"
#include "stationfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void say(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const quint16 port = quint16(args.value(1, QStringLiteral("0")).toUInt());
    const int extra = args.value(2, QStringLiteral("0")).toInt();

    testsupport::StationFixture fixture;
    Station& station = fixture.makeStation();
    QString keys = QStringLiteral("1 2 3 4 5 6 7 8 P 9 10 11 12 13 14 15 16 17 18 19 20");
    for (int i = 0; i < extra; ++i)
        keys += QStringLiteral(" %1").arg(21 + i);
    kantoor::PublishedOrder order = testsupport::classOrder(keys);
    testsupport::setCell(order, QStringLiteral("4"), 10, QStringLiteral("N"));
    // Planned times, two minutes apart, and the pause a quarter of an hour.
    const QTime first(10, 30);
    int minutes = 0;
    for (const QString& key : keys.split(u' ')) {
        testsupport::setCell(order, key, column::Time, first.addSecs(60 * minutes).toString(QStringLiteral("HH:mm")));
        minutes += key == u"P" ? 15 : 2;
    }
    if (!fixture.follow(kantoor::runningOrderBytes(order))) {
        say("fout: de klasse kan niet worden geschreven");
        return 1;
    }

    LivePage page(station);
    LiveSettings settings;
    settings.on = true;
    settings.address = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.folder = args.value(3);
    if (!page.start(settings) || page.url().isEmpty()) {
        say("fout: " + page.problem().toUtf8());
        return 1;
    }
    say("poort " + QByteArray::number(page.server()->port()));

    // How late an event posted on this thread runs: what the official would feel in the window.
    QElapsedTimer clock;
    clock.start();
    qint64 worstDelay = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, &app, [&] {
        const qint64 posted = clock.nsecsElapsed();
        QMetaObject::invokeMethod(
            &app, [&, posted] { worstDelay = std::max(worstDelay, clock.nsecsElapsed() - posted); },
            Qt::QueuedConnection);
    });
    probe.start();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).trimmed().split(' ');
            pending.remove(0, end + 1);
            const QByteArray command = words.value(0);
            int row = -1;
            const GridTable& grid = station.working();
            for (int r = grid.fixedRows(); r < grid.rows() && words.size() > 1; ++r) {
                if (grid.textView(r, column::Number).trimmed() == QLatin1String(words[1]))
                    row = r;
            }
            if (command == "volgende") {
                station.volgendeInDeRing();
            } else if (command == "vorige") {
                station.vorigeInDeRing();
            } else if ((command == "omhoog" || command == "omlaag") && row >= 0) {
                testsupport::selectRow(station, row);
                station.verplaatsregel(command == "omhoog" ? regels::Richting::Omhoog : regels::Richting::Omlaag);
            } else if (command == "ng" && row >= 0) {
                testsupport::selectRow(station, row);
                station.wisselnietgestart();
            } else if (command == "weg") {
                QFile::remove(fixture.classPath());
                station.toonbestand(false);
            } else if (command == "tal") {
                say(QStringLiteral("cpu %1 vertraging %2 geheugen %3 verbindingen %4 antwoorden %5")
                        .arg(cpuSeconds(), 0, 'f', 3)
                        .arg(double(worstDelay) / 1e6, 0, 'f', 2)
                        .arg(residentKiB())
                        .arg(page.server()->connectionCount())
                        .arg(page.server()->answered())
                        .toUtf8());
                worstDelay = 0;
                continue;
            } else if (command == "stop") {
                say("ok");
                app.quit();
                return;
            } else {
                say("fout");
                continue;
            }
            say("ok");
        }
    });
    return app.exec();
}
