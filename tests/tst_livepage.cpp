// The live page below the browser: the order's JSON as the station's list and ring make it, the feed's versions,
// the server's answers and guards through real sockets on 127.0.0.1 (nothing else is ever addressed), and the
// folder an ordinary web server publishes.
#include "classfile.h"
#include "columns.h"
#include "httpclient.h"
#include "livefeed.h"
#include "livefolder.h"
#include "livepage.h"
#include "liveserver.h"
#include "stationfixture.h"
#include "stationstatus.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using testsupport::bodyOf;
using testsupport::field;
using testsupport::HttpClient;
using testsupport::statusOf;

const QString classKeys = QStringLiteral("a b c d e P f g h");

} // namespace

class TestLivePage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void order_data();
    void order();
    void versions();
    void staleListSaysSince();
    void answers_data();
    void answers();
    void notModifiedUntilTheOrderChanges();
    void requestsInTurnOnOneConnection();
    void guards_data();
    void guards();
    void floodedHeadIsRefusedUnread();
    void portTakenIsSaid();
    void folder();
    void folderMissingWritesNothing();

private:
    QJsonObject stand();
    void startServer(const LiveServer::Limits& limits = LiveServer::Limits());

    std::unique_ptr<testsupport::StationFixture> m_kit;
    std::unique_ptr<LiveFeed> m_feed;
    std::unique_ptr<LiveServer> m_server;
};

void TestLivePage::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    m_kit->makeStation();
    kantoor::PublishedOrder order = testsupport::classOrder(classKeys);
    testsupport::setCell(order, QStringLiteral("b"), column::Mark, QStringLiteral("N"));
    testsupport::setCell(order, QStringLiteral("a"), column::Time, QStringLiteral("10:30"));
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(order)));
    m_feed = std::make_unique<LiveFeed>(m_kit->station());
}

void TestLivePage::cleanup()
{
    m_server.reset();
    m_feed.reset();
    m_kit.reset();
}

QJsonObject TestLivePage::stand()
{
    m_feed->refresh();
    return QJsonDocument::fromJson(m_feed->json()).object();
}

void TestLivePage::startServer(const LiveServer::Limits& limits)
{
    m_server = std::make_unique<LiveServer>(*m_feed);
    m_server->setLimits(limits);
    m_server->setHostNames({ QStringLiteral("127.0.0.1"), QStringLiteral("localhost") });
    QVERIFY2(m_server->listen(QHostAddress(QHostAddress::LocalHost), 0), qPrintable(m_server->errorString()));
}

// The whole order as the page lists it, after what the official did: "number:kind" per line ("P" a pause),
// the ring's starter marked with "*", ridden ones with "-"; then "x van y" and the three big lines.
void TestLivePage::order_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QString>("three");

    QTest::newRow("as published") << QStringList()
                                  << "101*:starter 102:ng 103:starter 104:starter 105:starter "
                                     "P 106:starter 107:starter 108:starter"
                                  << "0 van 7"
                                  << "101 103 104";
    QTest::newRow("two on") << QStringList { "volgende", "volgende" }
                            << "101-:starter 102:ng 103-:starter 104*:starter 105:starter P 106:starter "
                               "107:starter 108:starter"
                            << "2 van 7"
                            << "104 105 106";
    QTest::newRow("marked in the ring moves it on")
        << QStringList { "ng 101" }
        << "101:ng 102:ng 103*:starter 104:starter 105:starter P 106:starter 107:starter 108:starter"
        << "0 van 6"
        << "103 104 105";
    QTest::newRow("moved up") << QStringList { "omhoog 107" }
                              << "101*:starter 102:ng 103:starter 104:starter 105:starter P 107:starter "
                                 "106:starter 108:starter"
                              << "0 van 7"
                              << "101 103 104";
}

void TestLivePage::order()
{
    QFETCH(QStringList, steps);
    Station& station = m_kit->station();
    for (const QString& step : steps) {
        const QStringList words = step.split(u' ');
        if (words[0] == u"volgende") {
            station.volgendeInDeRing();
            continue;
        }
        int row = -1;
        for (int r = station.working().fixedRows(); r < station.working().rows(); ++r) {
            if (station.working().textView(r, column::Number).trimmed() == words[1])
                row = r;
        }
        QVERIFY(row >= 0);
        testsupport::selectRow(station, row);
        if (words[0] == u"ng")
            station.wisselnietgestart();
        else
            station.verplaatsregel(regels::Richting::Omhoog);
    }

    const QJsonObject json = stand();
    QStringList lines;
    for (const QJsonValue& value : json[u"volgorde"].toArray()) {
        const QJsonObject line = value.toObject();
        if (line[u"soort"].toString() == u"pauze") {
            QCOMPARE(line[u"tekst"].toString(), QStringLiteral("Pauze"));
            lines << QStringLiteral("P");
            continue;
        }
        const QString mark = line[u"inring"].toBool() ? QStringLiteral("*")
            : line[u"gereden"].toBool()               ? QStringLiteral("-")
                                                      : QString();
        lines << line[u"nummer"].toString() + mark + u':' + line[u"soort"].toString();
    }
    QTEST(lines.join(u' '), "lines");
    QTEST(QStringLiteral("%1 van %2").arg(json[u"gereden"].toInt()).arg(json[u"starters"].toInt()), "progress");
    QStringList three;
    for (const QJsonValue& value : json[u"top"].toArray())
        three << value.toObject()[u"nummer"].toString();
    QTEST(three.join(u' '), "three");
    QCOMPARE(json[u"titel"].toString(), station.titel());

    // Only what the rider board shows: no club, owner, rid, key, status or file.
    const QByteArray text = m_feed->json();
    for (const char* hidden : { "Ver\"", "Ruitersport", "rid", "\"a\"", "GEDEELD", ".dvz" })
        QVERIFY2(!text.contains(hidden), hidden);
}

void TestLivePage::versions()
{
    const quint64 first = m_feed->version();
    const QByteArray tag = m_feed->etag();
    m_feed->refresh();
    QCOMPARE(m_feed->version(), first); // nothing changed: the same version, the same bytes

    // A burst of changes is one rebuild, a moment later.
    m_kit->station().volgendeInDeRing();
    m_kit->station().volgendeInDeRing();
    QVERIFY(m_feed->isPending());
    QTRY_VERIFY(!m_feed->isPending());
    QCOMPARE(m_feed->version(), first + 1);
    QVERIFY(m_feed->etag() != tag);
    QCOMPARE(QJsonDocument::fromJson(m_feed->json())[u"versie"].toInteger(), qint64(first + 1));

    // Another run of the station never gives the same tag to its own first version.
    QTest::qWait(2);
    LiveFeed other(m_kit->station());
    QVERIFY(other.etag() != tag);
}

void TestLivePage::staleListSaysSince()
{
    QVERIFY(!stand()[u"verouderd"].toBool());
    // The office's file is gone: the last order stays, greyed, with the time it was last found.
    QVERIFY(QFile::remove(m_kit->classPath()));
    m_kit->station().toonbestand(false);
    QCOMPARE(m_kit->station().listState(), ListState::Stale);
    const QJsonObject json = stand();
    QVERIFY(json[u"verouderd"].toBool());
    QCOMPARE(json[u"sinds"].toString(), clockTime(m_kit->station().status().since));
    QVERIFY(QTime::fromString(json[u"sinds"].toString(), QStringLiteral("HH:mm:ss")).isValid());
    QCOMPARE(json[u"volgorde"].toArray().size(), 9);
}

// Each request on a fresh connection: the status, whether the connection ends, and what must (not) be in the
// answer.
void TestLivePage::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("contains");

    const QByteArray host = "Host: 127.0.0.1\r\n";
    QTest::newRow("page") << "GET / HTTP/1.1\r\n" + host + "\r\n" << 200 << false << QByteArray("Uw rugnummer");
    QTest::newRow("tv") << "GET /tv HTTP/1.1\r\n" + host + "\r\n" << 200 << false << QByteArray("<!DOCTYPE html>");
    QTest::newRow("order") << "GET /api/stand HTTP/1.1\r\n" + host + "\r\n"
                           << 200 << false << QByteArray("\"volgorde\":[");
    QTest::newRow("order with a query") << "GET /api/stand?t=5 HTTP/1.1\r\n" + host + "\r\n"
                                        << 200 << false << QByteArray("\"versie\":");
    QTest::newRow("localhost, port, bare line ends")
        << QByteArray("GET /api/stand HTTP/1.1\nHost: LOCALHOST:8035\n\n") << 200 << false << QByteArray("titel");
    QTest::newRow("head: no body") << "HEAD /api/stand HTTP/1.1\r\n" + host + "\r\n" << 200 << false << QByteArray();
    QTest::newRow("HTTP/1.0 closes") << "GET / HTTP/1.0\r\n" + host + "\r\n" << 200 << true << QByteArray("html");
    QTest::newRow("connection close") << "GET / HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n"
                                      << 200 << true << QByteArray("html");
    QTest::newRow("a body is not read") << "GET / HTTP/1.1\r\n" + host + "Content-Length: 3\r\n\r\nabc" << 200 << true
                                        << QByteArray("html");
    QTest::newRow("POST") << "POST /api/stand HTTP/1.1\r\n" + host + "Content-Length: 2\r\n\r\n{}" << 405 << true
                          << QByteArray("Allow: GET, HEAD");
    QTest::newRow("PUT") << "PUT /index.html HTTP/1.1\r\n" + host + "\r\n" << 405 << true << QByteArray();
    QTest::newRow("DELETE") << "DELETE /api/stand HTTP/1.1\r\n" + host + "\r\n" << 405 << true << QByteArray();
    QTest::newRow("up a folder") << "GET /../../etc/passwd HTTP/1.1\r\n" + host + "\r\n"
                                 << 404 << false << QByteArray();
    QTest::newRow("up a folder, encoded") << "GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n" + host + "\r\n"
                                          << 404 << false << QByteArray();
    QTest::newRow("a file of the station") << "GET /live.html HTTP/1.1\r\n" + host + "\r\n"
                                           << 404 << false << QByteArray();
    QTest::newRow("another name for this address")
        << QByteArray("GET /api/stand HTTP/1.1\r\nHost: rebind.example.com\r\n\r\n") << 421 << true << QByteArray();
    QTest::newRow("another name with our port")
        << QByteArray("GET / HTTP/1.1\r\nHost: evil.example:8035\r\n\r\n") << 421 << true << QByteArray();
    QTest::newRow("no Host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << 400 << true << QByteArray();
    QTest::newRow("two Hosts") << "GET / HTTP/1.1\r\n" + host + "Host: evil.example\r\n\r\n"
                               << 400 << true << QByteArray();
    QTest::newRow("folded field") << "GET / HTTP/1.1\r\n" + host + "X-A: b\r\n c\r\n\r\n"
                                  << 400 << true << QByteArray();
    QTest::newRow("absolute target") << "GET http://127.0.0.1/ HTTP/1.1\r\n" + host + "\r\n"
                                     << 400 << true << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11) << 400 << true
                             << QByteArray();
    QTest::newRow("HTTP/2 preface") << QByteArray("PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n") << 400 << true << QByteArray();
    QTest::newRow("head of 9 KiB") << "GET / HTTP/1.1\r\n" + host + "X-Long: " + QByteArray(9 * 1024, 'x') + "\r\n\r\n"
                                   << 431 << true << QByteArray();
}

void TestLivePage::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(bool, closes);
    QFETCH(QByteArray, contains);
    startServer();
    HttpClient client(m_server->port());
    QVERIFY(client.connected());
    client.send(request);
    const QByteArray answer = client.answer(request.startsWith("HEAD"));
    QCOMPARE(statusOf(answer), status);
    // Every answer: the policy that loads nothing from elsewhere, and no guessing of types.
    QVERIFY(field(answer, "Content-Security-Policy").startsWith("default-src 'self'"));
    QCOMPARE(field(answer, "X-Content-Type-Options"), QByteArray("nosniff"));
    if (request.contains("/api/stand") && status == 200) {
        QCOMPARE(field(answer, "Cache-Control"), QByteArray("no-store"));
        QCOMPARE(field(answer, "ETag"), m_feed->etag());
        QVERIFY(field(answer, "Content-Type").startsWith("application/json"));
    }
    if (request.startsWith("HEAD"))
        QVERIFY(bodyOf(answer).isEmpty() && field(answer, "Content-Length").toInt() > 0);
    if (!contains.isEmpty())
        QVERIFY2(answer.contains(contains), answer.left(300).constData());
    if (closes) {
        QVERIFY(client.closed());
    } else {
        QVERIFY(!client.closed(100));
        // The connection stays for the next question.
        client.send("GET /api/stand HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QCOMPARE(statusOf(client.answer()), 200);
    }
}

void TestLivePage::notModifiedUntilTheOrderChanges()
{
    startServer();
    HttpClient client(m_server->port());
    QVERIFY(client.connected());
    const QByteArray ask
        = "GET /api/stand HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-None-Match: " + m_feed->etag() + "\r\n\r\n";
    client.send(ask);
    QByteArray answer = client.answer();
    QCOMPARE(statusOf(answer), 304);
    QVERIFY(bodyOf(answer).isEmpty());
    QCOMPARE(field(answer, "ETag"), m_feed->etag());

    // The official moves the ring on: the same question now gets the new order.
    m_kit->station().volgendeInDeRing();
    QTRY_VERIFY(!m_feed->isPending());
    client.send(ask);
    answer = client.answer();
    QCOMPARE(statusOf(answer), 200);
    QCOMPARE(bodyOf(answer), m_feed->json());
    QVERIFY(QJsonDocument::fromJson(bodyOf(answer))[u"volgorde"][0][u"gereden"].toBool());
}

void TestLivePage::requestsInTurnOnOneConnection()
{
    startServer();
    HttpClient client(m_server->port());
    QVERIFY(client.connected());
    // Three at once, as a pipelining client sends them: three answers, in order, on the one connection.
    client.send("GET /api/stand HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\nHEAD / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                "GET /nothing HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QCOMPARE(statusOf(client.answer()), 200);
    const QByteArray head = client.answer(true);
    QCOMPARE(statusOf(head), 200);
    QVERIFY(field(head, "Content-Type").startsWith("text/html"));
    QCOMPARE(statusOf(client.answer()), 404);
    QVERIFY(!client.closed(100));
}

// The limits, tightened so the test is quick: how many connections stay open of those made, and whether
// one that behaves as given is closed.
void TestLivePage::guards_data()
{
    QTest::addColumn<QString>("behaviour");
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("kept");

    QTest::newRow("more than the client may") << "hold" << 6 << 3;
    QTest::newRow("more than all may") << "hold all" << 7 << 5;
    QTest::newRow("silent closed") << "silent" << 1 << 0;
    QTest::newRow("a byte now and then, never a whole head") << "trickle" << 1 << 0;
    QTest::newRow("answered and quiet, closed when idle") << "answered" << 1 << 0;
}

void TestLivePage::guards()
{
    QFETCH(QString, behaviour);
    QFETCH(int, opened);
    QFETCH(int, kept);
    LiveServer::Limits limits;
    limits.perClient = behaviour == u"hold all" ? 100 : 3;
    limits.total = 5;
    limits.idleMs = 400;
    limits.headMs = 400;
    startServer(limits);

    std::vector<std::unique_ptr<HttpClient>> clients;
    const bool hold = behaviour.startsWith(u"hold");
    for (int i = 0; i < opened; ++i) {
        clients.push_back(std::make_unique<HttpClient>(m_server->port()));
        // One over the limit may be closed before its side has seen the connection made (so under Wine).
        if (hold && i >= kept)
            QTRY_VERIFY(clients.back()->socket().state() == QAbstractSocket::ConnectedState
                || clients.back()->socket().state() == QAbstractSocket::UnconnectedState);
        else
            QVERIFY(clients.back()->connected());
    }
    if (hold) {
        // Those over the limit are closed at once; the others answer.
        QTRY_COMPARE(m_server->connectionCount(), kept);
        int open = 0;
        for (auto& client : clients) {
            if (client->closed(50))
                continue;
            ++open;
            client->send("GET /api/stand HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            QCOMPARE(statusOf(client->answer()), 200);
        }
        QCOMPARE(open, kept);
        return;
    }
    HttpClient& client = *clients.front();
    if (behaviour == u"answered") {
        client.send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QCOMPARE(statusOf(client.answer()), 200);
    }
    if (behaviour == u"trickle") {
        // Always within the idle time, so only the head's own limit can close it.
        const QByteArray head = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
        for (int i = 0; i < head.size() && client.socket().state() == QAbstractSocket::ConnectedState; ++i) {
            client.send(head.mid(i, 1));
            QTest::qWait(50);
        }
    }
    QVERIFY(client.closed(1500));
    QTRY_COMPARE(m_server->connectionCount(), kept);
}

void TestLivePage::floodedHeadIsRefusedUnread()
{
    startServer();
    HttpClient client(m_server->port());
    QVERIFY(client.connected());
    // A megabyte of one field: refused after the first 8 KiB, the rest never read.
    client.send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Flood: " + QByteArray(1024 * 1024, 'x'));
    QCOMPARE(statusOf(client.answer()), 431);
    QVERIFY(client.closed());
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void TestLivePage::portTakenIsSaid()
{
    startServer();
    LivePage page(m_kit->station());
    LiveSettings settings;
    settings.on = true;
    settings.address = QStringLiteral("127.0.0.1");
    settings.port = m_server->port();
    QVERIFY(!page.start(settings));
    QVERIFY(page.url().isEmpty());
    QCOMPARE(page.problem(),
        QStringLiteral("Live pagina niet op het netwerk: poort %1 is al in gebruik").arg(m_server->port()));
    settings.address = QStringLiteral("192.0.2.77"); // a documentation address, never this machine's
    QVERIFY(!page.start(settings));
    QVERIFY(page.problem().contains(QStringLiteral("192.0.2.77 is niet van deze computer")));
    // The station goes on as before.
    QVERIFY(m_kit->station().listShown());
}

void TestLivePage::folder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LivePage page(m_kit->station());
    LiveSettings settings;
    settings.on = true;
    settings.address = QStringLiteral("127.0.0.1");
    settings.port = 0;
    settings.folder = dir.path();
    QVERIFY(page.start(settings));
    QVERIFY(page.problem().isEmpty());
    auto read = [&](const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(read(QStringLiteral("index.html")).contains("fetch(\"api/stand\""));
    QCOMPARE(read(QStringLiteral("tv.html")), read(QStringLiteral("index.html")));
    QCOMPARE(read(QStringLiteral("api/stand")), page.feed()->json());

    m_kit->station().volgendeInDeRing();
    QTRY_VERIFY(!page.feed()->isPending());
    QCOMPARE(read(QStringLiteral("api/stand")), page.feed()->json());
    QVERIFY(read(QStringLiteral("api/stand")).contains("\"gereden\":1"));
    // The three files, and no temporary file left beside them.
    QDir folder(dir.path());
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList({ "index.html", "tv.html" }));
    QCOMPARE(
        QDir(folder.filePath(QStringLiteral("api"))).entryList(QDir::Files | QDir::Hidden), QStringList { "stand" });
}

void TestLivePage::folderMissingWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("niet/hier"));
    LivePage page(m_kit->station());
    LiveSettings settings;
    settings.on = true;
    settings.address = QStringLiteral("127.0.0.1");
    settings.port = 0;
    settings.folder = missing;
    QVERIFY(page.start(settings)); // the server runs all the same
    QVERIFY(!page.url().isEmpty());
    QVERIFY(page.problem().startsWith(QStringLiteral("Live pagina niet in de map: De map bestaat niet")));
    m_kit->station().volgendeInDeRing();
    QTRY_VERIFY(!page.feed()->isPending());
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestLivePage)
#include "tst_livepage.moc"
