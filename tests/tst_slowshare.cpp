// The station on a share that is slow, frozen or gone, through the station object: the window's thread never
// waits for it (a send and an Openen while every call to the share is held), sends reach it in the order they
// were made, and the day log tells what the share and the office did.
#include "classfile.h"
#include "faults.h"
#include "files.h"
#include "stationfixture.h"
#include "stationstatus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

using testsupport::classBytes;
using testsupport::keysOf;
using testsupport::selectRow;

namespace faults = platform::faults;

namespace {

// The station's own waits for the share add up to 80 ms at most in any one handler (a clean-up's 30, a
// check's 50); the rest is room for a machine busy with other builds, and far below a share's seconds.
constexpr qint64 answersWithin = 300;

// How long an action held the caller, in milliseconds.
qint64 heldBy(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return timer.elapsed();
}

// Every call to the shared folder waits until the test lets the share answer, as on a share whose calls take
// seconds each, without the test sleeping for them.
void holdTheShare(const QString& folder)
{
    for (const auto operation : { faults::Operation::Open, faults::Operation::Read, faults::Operation::Write,
             faults::Operation::Rename, faults::Operation::Remove, faults::Operation::GetAttributes,
             faults::Operation::SetAttributes, faults::Operation::List })
        faults::injectHold(operation, folder);
}

} // namespace

class TestSlowShare : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void slowShareNeverHoldsTheWindow();
    void dayLogTellsWhatTheShareAndTheOfficeDid_data();
    void dayLogTellsWhatTheShareAndTheOfficeDid();

private:
    QStringList logLines() const
    {
        return QString::fromUtf8(testsupport::readFile(m_kit->station().dayLog().todaysFile()))
            .split(u'\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<testsupport::StationFixture> m_kit;
};

void TestSlowShare::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    QVERIFY(m_kit->isValid());
}

void TestSlowShare::cleanup()
{
    faults::clear();
    m_kit.reset();
}

void TestSlowShare::slowShareNeverHoldsTheWindow()
{
    // The station's own waits (a check 50 ms, the send button 30 ms); a send told as hanging after 200 ms.
    m_kit->checkTime = RunOrderLoader::defaultCheckTime;
    m_kit->sendWait = Station::defaultSendWait;
    m_kit->hangTime = 200;
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4")));
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QCOMPARE(keysOf(s.working()), QString("2 1 3 4"));

    // The window's event loop, counted while the share holds everything.
    QTimer beat;
    int beats = 0;
    connect(&beat, &QTimer::timeout, &beat, [&] { ++beats; });
    beat.start(10);
    holdTheShare(m_kit->sharedFolder());

    QVERIFY(heldBy([&] { s.verzendmutatie(); }) < answersWithin);
    QCOMPARE(s.status().send, StationStatus::Send::Sending);
    QVERIFY(statusText(s.status(), m_kit->clock.now()).contains(QStringLiteral("Bezig met verzenden…")));
    QTRY_COMPARE(s.status().send, StationStatus::Send::Hanging);
    QVERIFY(beats >= 10);
    // The checks go on meanwhile, and a share that has not answered for a moment does not grey the list.
    QVERIFY(heldBy([&] { s.Timer1_Timer(); }) < answersWithin);
    QVERIFY(s.listShown());
    // The official goes on: another move, another send, while the first still hangs.
    m_kit->clock.setNow(m_kit->clock.now().addSecs(1));
    selectRow(s, 3);
    s.verplaatsregel(regels::Richting::Omhoog);
    QCOMPARE(keysOf(s.working()), QString("2 3 1 4"));
    QVERIFY(heldBy([&] { s.verzendmutatie(); }) < answersWithin);
    QCOMPARE(s.sendQueue().pending(), 2);

    // The share answers: both sends are written, the older first, so the newer is what the office finds.
    beats = 0;
    faults::releaseHolds();
    QTRY_COMPARE(s.status().send, StationStatus::Send::Waiting);
    QVERIFY(s.sendQueue().isIdle());
    const QStringList files = m_kit->mutationFiles();
    QCOMPARE(files.size(), 2);
    for (const QString& name : files) {
        QVERIFY2(name.startsWith(QStringLiteral("20261207-100001-")), qPrintable(name));
        QVERIFY(testsupport::readFile(m_kit->sharedFolder() + u'/' + name).contains("order:2\t3\t1\t4\r\n"));
    }
    const QStringList sent = logLines().filter(QStringLiteral("verzonden: "));
    QCOMPARE(sent.size(), 2);
    QVERIFY2(
        sent[0].contains(QStringLiteral("100000")) && sent[0].contains(QStringLiteral("na ")), qPrintable(sent[0]));
    QVERIFY2(sent[1].contains(QStringLiteral("100001")), qPrintable(sent[1]));

    // Openen of the same class while the share holds everything: its clean-up and its first read wait in the
    // share's own time, and the list stays on screen meanwhile.
    holdTheShare(m_kit->sharedFolder());
    s.beginOpen();
    const qint64 openHeld = heldBy([&] { s.finishOpen(m_kit->classPath()); });
    QVERIFY2(openHeld < answersWithin, qPrintable(QString::number(openHeld)));
    QVERIFY(heldBy([&] { s.Timer1_Timer(); }) < answersWithin);
    QTest::qWait(100);
    QVERIFY(beats >= 5);
    QVERIFY(s.listShown());
    faults::releaseHolds();
    QTRY_VERIFY(s.sendQueue().isIdle());
    QTRY_VERIFY(!s.loader().forcedReadPending());
    QCOMPARE(m_kit->mutationFiles(), QStringList());
    QVERIFY(s.listShown());
    // The forced read put the office's list back: the ring's sent moves, not taken in, are gone with the files
    // and come back from the journal.
    QCOMPARE(keysOf(s.working()), QString("2 3 1 4"));
}

void TestSlowShare::dayLogTellsWhatTheShareAndTheOfficeDid_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QStringList>("told"); // what the log's lines after the event say, in order

    QTest::newRow("the office withdraws, adds and moves starters")
        << "replace"
        << QStringList { "lijst van het secretariaat vervangt die van de ring (4 regels): teruggetrokken: 101 Ruiter 1 "
                         "(Paard 1) van plaats 1; toegevoegd: 103 Ruiter 9 (Paard 9) op plaats 3; verplaatst: 101 "
                         "Ruiter 3 (Paard 3) van plaats 3 naar plaats 1",
               "in de ring na de wijziging van het secretariaat: 102 Ruiter 2 (Paard 2) (was 101 Ruiter 1 (Paard 1))" };
    QTest::newRow("the share lost and back")
        << "share"
        << QStringList { "de gedeelde map is niet bereikbaar: de laatste lijst blijft grijs staan",
               "de gedeelde map is weer bereikbaar" };
    QTest::newRow("the list kept past midnight")
        << "midnight"
        << QStringList {
               "na middernacht blijft de lijst getoond: het bestand is van 07-12-2026, de ring werkt erop verder"
           };
    QTest::newRow("the list dropped, 12 hours on")
        << "morning"
        << QStringList {
               "na middernacht blijft de lijst getoond: het bestand is van 07-12-2026, de ring werkt erop verder",
               "de lijst is niet meer getoond: het bestand is niet van vandaag"
           };
    QTest::newRow("a send the office never took in, removed at Openen")
        << "open"
        << QStringList { "bij Openen verwijderd: 20261207-100000-7-baldovenaar-h.mut, "
                         "20261207-100000-7-baldovenaar-s.mut; de verzending van 10:00:00 was niet verwerkt door het "
                         "secretariaat",
               "geopend" };
    QTest::newRow("a send the office never took in, removed at the close")
        << "close"
        << QStringList { "bij het afsluiten verwijderd: 20261207-100000-7-baldovenaar-h.mut, "
                         "20261207-100000-7-baldovenaar-s.mut; de verzending van 10:00:00 was niet verwerkt door het "
                         "secretariaat" };
}

void TestSlowShare::dayLogTellsWhatTheShareAndTheOfficeDid()
{
    QFETCH(QString, event);
    QFETCH(QStringList, told);
    // A class followed from 10:00, or from 23:00 for a night past midnight.
    const bool night = event == u"midnight" || event == u"morning";
    m_kit->clock.setNow(QDateTime(QDate(2026, 12, 7), night ? QTime(23, 0, 0) : QTime(10, 0, 0)));
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 P")));
    const QString dayFile = s.dayLog().todaysFile();
    const int before = logLines().size();
    if (event == u"replace") {
        // Starter 1, in the ring, withdrawn; starter 3 moved to the front; starter 9 added at the end.
        QVERIFY(m_kit->publish(classBytes("3 2 P 9")));
        s.Timer1_Timer();
    } else if (event == u"share") {
        // The share's folder gone from the mount, and back.
        const QString away = m_kit->rootFolder() + QStringLiteral("/weg");
        QVERIFY(QDir().rename(m_kit->sharedFolder(), away));
        s.Timer1_Timer();
        QCOMPARE(s.listState(), ListState::Stale);
        QVERIFY(QDir().rename(away, m_kit->sharedFolder()));
        s.Timer1_Timer();
        QCOMPARE(s.listState(), ListState::Shown);
    } else if (event == u"midnight" || event == u"morning") {
        m_kit->clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(0, 10, 0)));
        s.Timer1_Timer();
        if (event == u"morning") {
            m_kit->clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(11, 1, 0)));
            s.Timer1_Timer();
        }
    } else {
        selectRow(s, 1);
        s.verplaatsregel(regels::Richting::Omlaag);
        QVERIFY(s.verzendmutatie().written);
        if (event == u"open") {
            QVERIFY(m_kit->publish(classBytes("1 2"), QStringLiteral("0008")));
            s.beginOpen();
            s.finishOpen(m_kit->classPath(QStringLiteral("0008")));
        } else {
            s.unload();
        }
    }
    // Past midnight the log goes on in the new day's file.
    QStringList lines = logLines().mid(s.dayLog().todaysFile() == dayFile ? before : 0);
    for (QString& line : lines)
        line = line.section(u'\t', 2);
    lines.removeIf([](const QString& line) {
        return line.startsWith(QStringLiteral("verplaatst: ")) || line.startsWith(QStringLiteral("verzonden: "))
            || line.startsWith(QStringLiteral("lijst van het secretariaat gelezen"));
    });
    QCOMPARE(lines, told);
}

QTEST_GUILESS_MAIN(TestSlowShare)
#include "tst_slowshare.moc"
