// The live page under load and under attack, measured by hand (not a test: its figures are timings):
//
//   liveload LIVESTATION [--seconds N] [--clients N] [--lines N]
//
// It starts LIVESTATION (the tests' station with the live page on, tests/livestation.cpp) on 127.0.0.1 and
//   1. load: N clients (200), each on an address of its own in 127.0.0.0/8 as phones on a network are, ask for
//      the order once a second for N seconds (60) as the page does (If-None-Match, so most answers are 304),
//      while the official moves the ring on every five seconds; then the answers per second, the p50 and p99
//      latency, the station's CPU share of one core and the largest delay of an event posted on its thread;
//   2. the official's move to the JSON's new version, seen by a client asking every 20 ms (ten moves);
//   3. hostile: 5,000 connections opened and held, 100 clients sending a head a byte a second, a 1 MB head,
//      POST, /../, /%2e%2e/, a wrong Host and garbage, while one well-behaved client goes on asking once a
//      second; then whether the station stayed up, how many of the good client's questions were answered, the
//      refusals' statuses, the largest delay on the station's thread, and its memory before and after.
// Nothing but 127.0.0.1 (and 127.0.0.0/8 as clients' own addresses) is ever addressed.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QElapsedTimer wall;

void waitMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The station in its own process, spoken to over its standard input.
class StationProcess
{
public:
    bool start(const QString& program, int lines)
    {
        m_process.setProgram(program);
        m_process.setArguments({ QStringLiteral("0"), QString::number(std::max(0, lines - 21)) });
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return false;
        const QByteArray line = readLine(20000);
        if (!line.startsWith("poort "))
            return false;
        port = quint16(line.mid(6).trimmed().toUInt());
        return true;
    }
    QByteArray command(const QByteArray& text)
    {
        m_process.write(text + '\n');
        return readLine(10000);
    }
    // "cpu S vertraging MS geheugen KIB verbindingen N antwoorden N"
    QMap<QByteArray, double> figures()
    {
        const QList<QByteArray> words = command("tal").split(' ');
        QMap<QByteArray, double> result;
        for (int i = 0; i + 1 < words.size(); i += 2)
            result[words[i]] = words[i + 1].toDouble();
        return result;
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    void stop()
    {
        if (running())
            command("stop");
        m_process.waitForFinished(5000);
    }
    quint16 port = 0;

private:
    QByteArray readLine(int timeout)
    {
        QElapsedTimer t;
        t.start();
        while (!m_process.canReadLine() && t.elapsed() < timeout && running())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_process.readLine().trimmed();
    }
    QProcess m_process;
};

QByteArray request(const QByteArray& etag)
{
    QByteArray r = "GET /api/stand HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!etag.isEmpty())
        r += "If-None-Match: " + etag + "\r\n";
    return r + "\r\n";
}

// A page asking for the order on one keep-alive connection, as often as told.
class Poller : public QObject
{
public:
    Poller(quint16 port, const QHostAddress& from, int intervalMs)
        : m_port(port)
        , m_from(from)
    {
        m_timer.setInterval(intervalMs);
        connect(&m_timer, &QTimer::timeout, this, &Poller::ask);
        connect(&m_socket, &QTcpSocket::readyRead, this, &Poller::read);
        connect(&m_socket, &QTcpSocket::disconnected, this, [this] { m_busy = false; });
    }
    void start(int phaseMs)
    {
        QTimer::singleShot(phaseMs, this, [this] {
            ask();
            m_timer.start();
        });
    }
    void stop() { m_timer.stop(); }
    std::vector<qint64> latencies; // ns
    int answers = 0;
    int failures = 0;
    int version = 0;
    std::function<void(int)> onVersion;

private:
    void ask()
    {
        if (m_busy) {
            return; // the last question is still open: the page waits too
        }
        if (m_socket.state() != QAbstractSocket::ConnectedState) {
            if (m_socket.state() != QAbstractSocket::UnconnectedState)
                return;
            if (!m_from.isNull())
                m_socket.bind(m_from);
            m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), m_port);
            if (!m_socket.waitForConnected(1000)) {
                ++failures;
                m_socket.abort();
                return;
            }
        }
        m_buffer.clear();
        m_busy = true;
        m_asked = wall.nsecsElapsed();
        m_socket.write(request(m_etag));
    }
    void read()
    {
        if (!m_socket.isOpen())
            return;
        m_buffer += m_socket.readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = m_buffer.left(end);
        qsizetype length = 0;
        const qsizetype at = head.toLower().indexOf("content-length:");
        if (at >= 0)
            length = head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toLongLong();
        if (head.startsWith("HTTP/1.1 304"))
            length = 0;
        if (m_buffer.size() < end + 4 + length)
            return;
        latencies.push_back(wall.nsecsElapsed() - m_asked);
        ++answers;
        m_busy = false;
        if (head.startsWith("HTTP/1.1 200")) {
            const qsizetype tag = head.toLower().indexOf("etag:");
            m_etag = head.mid(tag + 5, head.indexOf('\r', tag) - tag - 5).trimmed();
            const QByteArray body = m_buffer.mid(end + 4, length);
            version = body.mid(10, body.indexOf(',') - 10).toInt(); // {"versie":N,
            if (onVersion)
                onVersion(version);
        } else if (!head.startsWith("HTTP/1.1 304")) {
            ++failures;
        }
        m_buffer.remove(0, end + 4 + length);
    }

    quint16 m_port;
    QHostAddress m_from;
    QTcpSocket m_socket;
    QTimer m_timer;
    QByteArray m_buffer;
    QByteArray m_etag;
    qint64 m_asked = 0;
    bool m_busy = false;
};

double percentile(std::vector<qint64> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return double(values[size_t(p * double(values.size() - 1))]) / 1e6;
}

QHostAddress clientAddress(int i)
{
    // 127.0.1.0 on: every client an address of its own, as phones on the show's network.
    return QHostAddress(quint32((127u << 24) | (1u << 8)) + quint32(i));
}

// One raw exchange: what the station answers (the status line), or how the connection ended.
QByteArray exchange(quint16 port, const QByteArray& bytes, int timeout = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    if (!socket.waitForConnected(2000))
        return "no connection";
    socket.write(bytes);
    QByteArray answer;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeout && !answer.contains("\r\n")) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        socket.waitForReadyRead(20);
        if (socket.isOpen())
            answer += socket.readAll();
        if (socket.state() == QAbstractSocket::UnconnectedState)
            break;
    }
    if (answer.isEmpty())
        return "closed without an answer";
    return answer.left(answer.indexOf("\r\n"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    wall.start();
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: liveload LIVESTATION [--seconds N] [--clients N] [--lines N]\n");
        return 2;
    }
    auto option = [&](const char* name, int fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const int seconds = option("--seconds", 60);
    const int clientCount = option("--clients", 200);
    const int lines = option("--lines", 300);

    StationProcess station;
    if (!station.start(args[1], lines)) {
        std::fprintf(stderr, "liveload: the station did not start\n");
        return 1;
    }
    std::printf("liveload: station on 127.0.0.1:%u, a list of %d lines\n", station.port, lines);

    // The baseline: one client alone, asking 100 times, so the figures under load read as ratios on whatever
    // machine this runs.
    std::vector<qint64> alone;
    {
        Poller one(station.port, clientAddress(50000), 20);
        one.start(0);
        while (one.answers < 100 && wall.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        one.stop();
        alone = one.latencies;
    }
    std::printf("baseline: one client alone: latency p50 %.2f ms, p99 %.2f ms\n", percentile(alone, 0.5),
        percentile(alone, 0.99));

    // 1. Load.
    station.figures(); // from here on
    const double cpuBefore = station.figures()["cpu"];
    std::vector<std::unique_ptr<Poller>> clients;
    for (int i = 0; i < clientCount; ++i) {
        clients.push_back(std::make_unique<Poller>(station.port, clientAddress(i), 1000));
        clients.back()->start(int(QRandomGenerator::global()->bounded(1000)));
    }
    QTimer mover;
    mover.setInterval(5000);
    QObject::connect(&mover, &QTimer::timeout, &app, [&] { station.command("volgende"); });
    mover.start();
    QElapsedTimer loadTime;
    loadTime.start();
    waitMs(seconds * 1000);
    mover.stop();
    for (auto& c : clients)
        c->stop();
    const double loadSeconds = double(loadTime.elapsed()) / 1000.0;
    const QMap<QByteArray, double> afterLoad = station.figures();
    std::vector<qint64> all;
    int answers = 0;
    int failures = 0;
    for (auto& c : clients) {
        all.insert(all.end(), c->latencies.begin(), c->latencies.end());
        answers += c->answers;
        failures += c->failures;
    }
    clients.clear();
    std::printf("load: %d clients, %.0f s: %.1f answers/s, %d failed; latency p50 %.2f ms, p99 %.2f ms; "
                "station CPU %.1f%% of one core; largest delay of a posted event %.1f ms\n",
        clientCount, loadSeconds, answers / loadSeconds, failures, percentile(all, 0.5), percentile(all, 0.99),
        100.0 * (afterLoad["cpu"] - cpuBefore) / loadSeconds, afterLoad["vertraging"]);
    std::printf("load: p99 %.1f x the baseline's\n", percentile(all, 0.99) / std::max(0.001, percentile(alone, 0.99)));

    // 2. The official's move to the JSON's new version.
    {
        Poller probe(station.port, QHostAddress(), 20);
        probe.start(0);
        waitMs(300);
        std::vector<qint64> delays;
        for (int i = 0; i < 10; ++i) {
            const int before = probe.version;
            const qint64 moved = wall.nsecsElapsed();
            station.command(i % 2 ? "vorige" : "volgende");
            QElapsedTimer t;
            t.start();
            while (probe.version == before && t.elapsed() < 3000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            delays.push_back(wall.nsecsElapsed() - moved);
            waitMs(200);
        }
        std::printf("move to the JSON's new version: median %.0f ms, largest %.0f ms (a page asking once a second "
                    "sees it within that plus one second)\n",
            percentile(delays, 0.5), percentile(delays, 1.0));
    }

    // 3. Hostile.
    const QMap<QByteArray, double> before = station.figures();
    Poller good(station.port, clientAddress(60000), 1000);
    good.start(0);
    // The slow heads first, so they hold places and only the head's own limit can close them.
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 100; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(clientAddress(20000 + i));
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), station.port);
        slow.push_back(std::move(socket));
    }
    waitMs(500);
    std::vector<std::unique_ptr<QTcpSocket>> held;
    int refusedAtOnce = 0;
    for (int i = 0; i < 5000; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(clientAddress(1000 + i % 2000)); // two connections an address: within the client's limit
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), station.port);
        held.push_back(std::move(socket));
        if (i % 100 == 99)
            QCoreApplication::processEvents();
    }
    const QByteArray slowHead = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + QByteArray(200, 'x');
    int slowByte = 0;
    QTimer trickle;
    trickle.setInterval(1000);
    QObject::connect(&trickle, &QTimer::timeout, &app, [&] {
        for (auto& s : slow) {
            if (s->state() == QAbstractSocket::ConnectedState)
                s->write(slowHead.mid(slowByte, 1));
        }
        ++slowByte;
    });
    trickle.start();
    waitMs(2000);
    for (auto& s : held)
        refusedAtOnce += s->state() != QAbstractSocket::ConnectedState;
    const QMap<QByteArray, double> during = station.figures();

    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const QByteArray host = "Host: 127.0.0.1\r\n";
    const std::vector<Case> cases {
        { "a 1 MB head", "GET / HTTP/1.1\r\n" + host + "X-Big: " + QByteArray(1024 * 1024, 'x') + "\r\n\r\n" },
        { "POST", "POST /api/stand HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nhello" },
        { "/../", "GET /../../etc/passwd HTTP/1.1\r\n" + host + "\r\n" },
        { "/%2e%2e/", "GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n" + host + "\r\n" },
        { "a wrong Host", "GET /api/stand HTTP/1.1\r\nHost: rebind.example.com\r\n\r\n" },
        { "garbage", QByteArray("\x16\x03\x01\x00\xa5\x01\x00\x00\xa1\x03\x03\xff\xfe\x00\x01", 15) },
    };
    // These come while the 5,000 are held: the slots may be full, so each is tried until it gets in.
    for (const Case& c : cases) {
        QByteArray result;
        for (int attempt = 0; attempt < 30; ++attempt) {
            result = exchange(station.port, c.bytes);
            if (result.startsWith("HTTP/"))
                break;
            waitMs(500);
        }
        std::printf("hostile: %-14s -> %s\n", c.name, result.constData());
    }
    waitMs(12000); // past the idle and head limits
    int slowClosed = 0;
    for (auto& s : slow)
        slowClosed += s->state() != QAbstractSocket::ConnectedState;
    int heldClosed = 0;
    for (auto& s : held)
        heldClosed += s->state() != QAbstractSocket::ConnectedState;
    trickle.stop();
    good.stop();
    held.clear();
    slow.clear();
    waitMs(1000);
    const QMap<QByteArray, double> after = station.figures();
    std::printf("hostile: of 5000 held, %d closed at once (the limit of 256 open), %d closed within 14 s (idle; "
                "the others got in later and go 10 s after that); "
                "%d of 100 byte-a-second heads closed by the head's limit\n",
        refusedAtOnce, heldClosed, slowClosed);
    std::printf("hostile: the well-behaved client: %d answers, %d refused or failed; station up: %s; largest delay "
                "of a posted event %.1f ms; connections left %.0f\n",
        good.answers, good.failures, station.running() ? "yes" : "NO",
        std::max(during["vertraging"], after["vertraging"]), after["verbindingen"]);
    std::printf("hostile: memory %.0f KiB before, %.0f KiB after (%+.1f%%)\n", before["geheugen"], after["geheugen"],
        100.0 * (after["geheugen"] - before["geheugen"]) / before["geheugen"]);
    const bool up = station.running();
    station.stop();
    return up ? 0 : 1;
}
