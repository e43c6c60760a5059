// The official's work through the station object: a send followed until the office (its real take-in, the
// same code as `kantoor serve`) has it; the work the office's changed list replaced, put back; a crash and a
// restart; undo across a held run; the last list kept greyed while the file is gone; and the mends to what
// the station did with earlier sends, the selection and a held move when the office's list changed.
#include "classfile.h"
#include "columns.h"
#include "files.h"
#include "officeserver.h"
#include "publication.h"
#include "stationfixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>
#include <QTimer>

using testsupport::classOrder;
using testsupport::keysOf;
using testsupport::marksOf;
using testsupport::selectRow;

namespace {

QList<int> selectedRows(const GridTable& grid)
{
    QList<int> rows;
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.rowData(r) == 1)
            rows << r;
    }
    return rows;
}

} // namespace

class TestOfficialWork : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sendIsFollowedUntilTheOfficeHasIt_data();
    void sendIsFollowedUntilTheOfficeHasIt();
    void replacedWorkIsPutBack();
    void crashAndRestartBringTheWorkBack_data();
    void crashAndRestartBringTheWorkBack();
    void undoAndRedoAcrossAHeldRun();
    void goneFileKeepsTheLastListGreyed();
    void openingRemovesTheClassesEarlierSendsOnceItIsKnown();
    void selectionFollowsTheStartersWhenTheListIsReplaced();
    void replacedListEndsAHeldMove();
    void dayLogAnswersADispute();

private:
    Station& station() { return m_kit->station(); }
    // Publishes the class as the office does: written whole and dated now.
    void officePublishes(const kantoor::PublishedOrder& order);
    // Both office programs look at the folder once, as `kantoor serve` does every second.
    int officeTakesIn();
    void redateOfficeList();
    QStringList logLines() const;

    std::unique_ptr<testsupport::StationFixture> m_kit;
};

void TestOfficialWork::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    QVERIFY(m_kit->isValid());
}

void TestOfficialWork::cleanup()
{
    m_kit.reset();
}

void TestOfficialWork::officePublishes(const kantoor::PublishedOrder& order)
{
    QVERIFY(
        kantoor::publishRunningOrder(m_kit->sharedFolder(), QStringLiteral("0007"), kantoor::runningOrderBytes(order))
            .ok);
    redateOfficeList();
}

void TestOfficialWork::redateOfficeList()
{
    // The office programs date their files by the real clock; the station here lives on the kit's day, whatever
    // the hour the tests run at.
    QVERIFY(testsupport::setModified(m_kit->classPath(), m_kit->clock.now()));
}

int TestOfficialWork::officeTakesIn()
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    int taken = 0;
    for (QChar kind : { u's', u'h' })
        taken += kantoor::OfficeServer(m_kit->sharedFolder(), kind, outStream, errStream).takeIn();
    if (taken > 0)
        redateOfficeList();
    return taken;
}

QStringList TestOfficialWork::logLines() const
{
    return QString::fromUtf8(testsupport::readFile(m_kit->station().dayLog().todaysFile()))
        .split(u'\n', Qt::SkipEmptyParts);
}

void TestOfficialWork::sendIsFollowedUntilTheOfficeHasIt_data()
{
    QTest::addColumn<QString>("edit"); // "move", "mark"
    QTest::addColumn<QString>("office"); // "takes in", "adds a starter", "silent"
    QTest::addColumn<int>("sendState");

    using Send = StationStatus::Send;
    QTest::newRow("a move, taken in: the office's list replaces the ring's, confirmed")
        << "move"
        << "takes in" << int(Send::TakenIn);
    QTest::newRow("marks only, taken in: the office's list is merged, confirmed all the same")
        << "mark"
        << "takes in" << int(Send::TakenIn);
    QTest::newRow("the office publishes another list instead (one more starter, its own order): not as sent")
        << "move"
        << "adds a starter" << int(Send::NotAsSent);
    QTest::newRow("no answer: waiting, then a warning after a minute, counting") << "move"
                                                                                 << "silent" << int(Send::Stalled);
    QTest::newRow("marks only, taken in after a minute: the warning gives way to the receipt")
        << "mark"
        << "late" << int(Send::TakenIn);
}

void TestOfficialWork::sendIsFollowedUntilTheOfficeHasIt()
{
    QFETCH(QString, edit);
    QFETCH(QString, office);
    QFETCH(int, sendState);
    Station& s = m_kit->makeStation();
    s.start();
    officePublishes(classOrder("1 2 3 4"));
    s.beginOpen();
    s.finishOpen(m_kit->classPath());
    selectRow(s, 2);
    if (edit == u"move")
        s.verplaatsregel(regels::Richting::Omlaag);
    else
        s.wisselnietgestart();
    QCOMPARE(s.status().unsent, edit == u"move" ? 2 : 1);
    QVERIFY(s.hasUnsentWork());

    QVERIFY(s.verzendmutatie().written);
    QCOMPARE(s.status().send, StationStatus::Send::Waiting);
    QCOMPARE(s.status().unsent, 0); // what differs is sent
    QVERIFY(statusText(s.status(), m_kit->clock.now()).contains(QStringLiteral("wacht op het secretariaat")));
    QVERIFY(s.hasUnsentWork()); // until the office has it

    if (office == u"late") {
        m_kit->clock.setNow(m_kit->clock.now().addSecs(70));
        s.Timer1_Timer();
        QCOMPARE(s.status().send, StationStatus::Send::Stalled);
    }
    if (office == u"takes in" || office == u"late") {
        QCOMPARE(officeTakesIn(), 2);
    } else if (office == u"adds a starter") {
        officePublishes(classOrder("1 2 3 4 5"));
    }
    m_kit->clock.setNow(m_kit->clock.now().addSecs(office == u"silent" ? 75 : 5));
    s.Timer1_Timer();

    QCOMPARE(int(s.status().send), sendState);
    const QString text = statusText(s.status(), m_kit->clock.now());
    switch (StationStatus::Send(sendState)) {
    case StationStatus::Send::TakenIn:
        QVERIFY2(text.contains(QStringLiteral("Verwerkt door het secretariaat om ")), qPrintable(text));
        QCOMPARE(statusTone(s.status()), StatusTone::Good);
        QVERIFY(!s.hasUnsentWork());
        QVERIFY(logLines().last().contains(QStringLiteral("verwerkt door het secretariaat")));
        break;
    case StationStatus::Send::NotAsSent:
        QVERIFY2(text.contains(QStringLiteral("Niet verwerkt zoals verzonden")), qPrintable(text));
        QCOMPARE(statusTone(s.status()), StatusTone::Warning);
        // The ring's move, replaced by the office's list, is offered back.
        QVERIFY(s.buttons().opnieuwToepassen);
        break;
    default:
        QVERIFY2(text.contains(QStringLiteral("na 75 s nog niet verwerkt")), qPrintable(text));
        QCOMPARE(statusTone(s.status()), StatusTone::Warning);
        QVERIFY(logLines().last().contains(QStringLiteral("na 60 s niet verwerkt")));
        // Sent again, it waits afresh.
        s.verzendmutatie();
        QCOMPARE(s.status().send, StationStatus::Send::Waiting);
        break;
    }
}

void TestOfficialWork::replacedWorkIsPutBack()
{
    Station& s = m_kit->makeStation();
    s.start();
    officePublishes(classOrder("1 2 3 4 5 P 6"));
    s.beginOpen();
    s.finishOpen(m_kit->classPath());
    // The ring moves 1 down twice and marks 4 and 6 not started; nothing is sent.
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    s.verplaatsregel(regels::Richting::Omlaag);
    selectRow(s, 4);
    s.addToSelection(7);
    s.wisselnietgestart();
    QCOMPARE(keysOf(s.working()), QString("2 3 1 4 5 P 6"));
    QCOMPARE(marksOf(s.working()), QString("- - - N - - N"));

    // Meanwhile the office withdraws 3 and enters a late starter 9 after 5.
    officePublishes(classOrder("1 2 4 5 9 P 6"));
    QSignalSpy replaced(&s, &Station::listReplaced);
    QSignalSpy told(&s, &Station::statusChanged);
    s.Timer1_Timer();
    QCOMPARE(replaced.size(), 1);
    QCOMPARE(keysOf(s.working()), QString("1 2 4 5 9 P 6"));
    // What the windows are told, not only what the station knows.
    QVERIFY(!told.isEmpty());
    const StationStatus shown = told.last().at(0).value<StationStatus>();
    QCOMPARE(shown.work, StationStatus::Work::Offered);
    QVERIFY(shown.officeChanged.isValid());
    QVERIFY(s.buttons().opnieuwToepassen);
    QVERIFY(!s.history().canUndo());

    s.opnieuwToepassen();
    // The ring's order for the starters in both lists, on their places; 9 where the office put it; the marks.
    QCOMPARE(keysOf(s.working()), QString("2 1 4 5 9 P 6"));
    QCOMPARE(marksOf(s.working()), QString("- - N - - - N"));
    QCOMPARE(s.status().work, StationStatus::Work::Reapplied);
    // Starters 2, 1, 4 and 6 came back; 3, which the ring's move had put on another place, is gone.
    QCOMPARE(s.status().count, 4);
    QCOMPARE(s.status().missing, QStringList { "103 Ruiter 3" });
    QVERIFY(statusText(s.status(), m_kit->clock.now()).contains(QStringLiteral("niet meer in de lijst: 103 Ruiter 3")));
    QVERIFY(!s.buttons().opnieuwToepassen);
    QVERIFY(s.buttons().verzenden);
    // It was one step: undone at once.
    s.ongedaanMaken();
    QCOMPARE(keysOf(s.working()), QString("1 2 4 5 9 P 6"));
    QCOMPARE(marksOf(s.working()), QString("- - - - - - -"));
}

void TestOfficialWork::crashAndRestartBringTheWorkBack_data()
{
    QTest::addColumn<bool>("officeChanged");
    QTest::newRow("the office's list as it was: the work comes back") << false;
    QTest::newRow("the office changed the list meanwhile: the work is offered") << true;
}

void TestOfficialWork::crashAndRestartBringTheWorkBack()
{
    QFETCH(bool, officeChanged);
    Station& before = m_kit->makeStation();
    before.start();
    officePublishes(classOrder("1 2 3 4"));
    before.beginOpen();
    before.finishOpen(m_kit->classPath());
    selectRow(before, 1);
    before.verplaatsregel(regels::Richting::Omlaag);
    selectRow(before, 4);
    before.wisselnietgestart();
    // The journal is written a moment after the edit, off the edit's own path.
    QTRY_VERIFY(QFile::exists(before.journal().fileFor(m_kit->classPath())));
    m_kit->destroyStation();

    if (officeChanged)
        officePublishes(classOrder("1 2 3 4 5"));
    Station& after = m_kit->makeStation();
    after.start();
    QCOMPARE(after.state().bestandspad(), m_kit->classPath()); // followed again: kept when it was opened
    if (!officeChanged) {
        QCOMPARE(keysOf(after.working()), QString("2 1 3 4"));
        QCOMPARE(marksOf(after.working()), QString("- - - N"));
        QCOMPARE(after.status().work, StationStatus::Work::Restored);
        QCOMPARE(after.status().count, 3);
        QVERIFY(after.buttons().verzenden);
    } else {
        QCOMPARE(keysOf(after.working()), QString("1 2 3 4 5"));
        QCOMPARE(after.status().work, StationStatus::Work::Offered);
        after.opnieuwToepassen();
        QCOMPARE(keysOf(after.working()), QString("2 1 3 4 5"));
        QCOMPARE(marksOf(after.working()), QString("- - - N -"));
    }
}

void TestOfficialWork::undoAndRedoAcrossAHeldRun()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(testsupport::classBytes("1 2 3 4 5 6")));
    selectRow(s, 1);
    // A held run of three moves is one step.
    s.pressMove(regels::Richting::Omlaag);
    s.TimerRegelsVerplaatsen_Timer();
    s.TimerRegelsVerplaatsen_Timer();
    s.releaseMove();
    selectRow(s, 6);
    s.wisselnietgestart();
    QCOMPARE(keysOf(s.working()), QString("2 3 4 1 5 6"));

    s.ongedaanMaken(); // the mark, and the selection it was made on
    QCOMPARE(marksOf(s.working()), QString("- - - - - -"));
    QCOMPARE(selectedRows(s.working()), QList<int> { 6 });
    s.ongedaanMaken(); // the whole run
    QCOMPARE(keysOf(s.working()), QString("1 2 3 4 5 6"));
    QCOMPARE(s.working().row(), 1);
    QCOMPARE(selectedRows(s.working()), QList<int> { 1 });
    QVERIFY(!s.buttons().verzenden);
    QVERIFY(!s.buttons().ongedaanMaken);
    s.opnieuw();
    QCOMPARE(keysOf(s.working()), QString("2 3 4 1 5 6"));
    QVERIFY(s.buttons().verzenden);
    QVERIFY(s.buttons().opnieuw);

    // A merged list keeps the history; a replaced one ends it.
    kantoor::PublishedOrder renamed = classOrder("1 2 3 4 5 6");
    QVERIFY(testsupport::setCell(renamed, "5", column::Horse, QStringLiteral("Quibus")));
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(renamed)));
    s.Timer1_Timer();
    QVERIFY(s.buttons().ongedaanMaken && s.buttons().opnieuw);
    QVERIFY(m_kit->publish(testsupport::classBytes("1 2 3 5 6")));
    s.Timer1_Timer();
    QVERIFY(!s.buttons().ongedaanMaken && !s.buttons().opnieuw);
}

void TestOfficialWork::goneFileKeepsTheLastListGreyed()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(testsupport::classBytes("1 2 3")));
    const QDateTime lastSeen = m_kit->clock.now();
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QVERIFY(QFile::remove(m_kit->classPath()));
    m_kit->clock.setNow(lastSeen.addSecs(40));
    s.Timer1_Timer();

    QCOMPARE(s.listState(), ListState::Stale);
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));
    QCOMPARE(s.titel(), QString("Springen klasse M"));
    QVERIFY(!s.buttons().volgorde && !s.buttons().nietGestart && !s.buttons().verzenden);
    const QString text = statusText(s.status(), m_kit->clock.now());
    QVERIFY2(
        text.contains(QStringLiteral("Niet bijgewerkt sinds %1").arg(lastSeen.toString("HH:mm:ss"))), qPrintable(text));
    // Edits cannot reach the greyed list.
    s.verplaatsregel(regels::Richting::Omlaag);
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));

    // The file comes back as it was: the list and the ring's move are there again.
    QVERIFY(m_kit->publish(testsupport::classBytes("1 2 3")));
    s.Timer1_Timer();
    QCOMPARE(s.listState(), ListState::Shown);
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));
    QVERIFY(s.buttons().verzenden);
    // A file of another day is no list to keep showing: the empty view.
    QVERIFY(testsupport::setModified(m_kit->classPath(), m_kit->clock.now().addDays(-1)));
    s.Timer1_Timer();
    QCOMPARE(s.listState(), ListState::Empty);
    QCOMPARE(s.status().follow, StationStatus::Follow::NotToday);
}

void TestOfficialWork::openingRemovesTheClassesEarlierSendsOnceItIsKnown()
{
    // An earlier send of this class, made before the station was closed on another one; another class's send.
    const QString day = m_kit->clock.now().toString(QStringLiteral("yyyyMMdd"));
    const QString old = day + QStringLiteral("-080000-7-baldovenaar-s.mut");
    const QString others = day + QStringLiteral("-080000-8-baldovenaar-s.mut");
    QVERIFY(testsupport::writeFile(m_kit->sharedFolder() + u'/' + old, "wnr:12\r\nrid:7\r\norder:3\t2\t1\r\n"));
    QVERIFY(testsupport::writeFile(m_kit->sharedFolder() + u'/' + others, "wnr:12\r\nrid:8\r\norder:1\r\n"));
    // The file is read once it has stood still for a second: at the open its class is not known yet.
    Station& s = m_kit->makeStation(1000);
    s.start();
    officePublishes(classOrder("1 2 3"));
    s.beginOpen();
    s.finishOpen(m_kit->classPath());
    QVERIFY(!s.state().klasbekend);
    QCOMPARE(m_kit->mutationFiles(), (QStringList { old, others }));

    m_kit->clock.setNow(m_kit->clock.now().addMSecs(1100));
    s.Timer1_Timer();
    QVERIFY(s.state().klasbekend);
    QCOMPARE(m_kit->mutationFiles(), QStringList { others });
}

void TestOfficialWork::selectionFollowsTheStartersWhenTheListIsReplaced()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(testsupport::classBytes("1 2 3 4")));
    selectRow(s, 3); // starter 3
    // The office withdraws starter 1: starter 3 now stands on row 2.
    QVERIFY(m_kit->publish(testsupport::classBytes("2 3 4")));
    s.Timer1_Timer();
    s.wisselnietgestart();
    QCOMPARE(marksOf(s.working()), QString("- N -"));
    QCOMPARE(s.working().textMatrix(2, column::Key), QString("3"));
}

void TestOfficialWork::replacedListEndsAHeldMove()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(testsupport::classBytes("1 2 3 4 5 6")));
    selectRow(s, 1);
    s.pressMove(regels::Richting::Omlaag);
    QVERIFY(s.timerRegelsVerplaatsen()->isActive());
    QVERIFY(m_kit->publish(testsupport::classBytes("1 2 3 4 5 6 7")));
    s.Timer1_Timer();
    QVERIFY(!s.heldMove());
    QVERIFY(!s.timerRegelsVerplaatsen()->isActive());
    // A tick that was already due moves nothing; the release that follows neither.
    s.TimerRegelsVerplaatsen_Timer();
    s.releaseMove();
    QCOMPARE(keysOf(s.working()), QString("1 2 3 4 5 6 7"));
}

void TestOfficialWork::dayLogAnswersADispute()
{
    // "I was told I'd go third": the log says who moved the starter, from where to where, and when.
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(testsupport::classBytes("1 2 3 4")));
    selectRow(s, 1);
    s.pressMove(regels::Richting::Omlaag);
    s.TimerRegelsVerplaatsen_Timer();
    s.releaseMove();
    s.ongedaanMaken();
    const QStringList lines = logLines();
    const QString time = m_kit->clock.now().toString(QStringLiteral("HH:mm:ss"));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], time + QStringLiteral("\tbaldovenaar rst-0007\tgeopend"));
    QCOMPARE(lines[2], time + QStringLiteral("\tbaldovenaar rst-0007\tverplaatst: 101 Ruiter 1 van plaats 1 naar 3"));
    QVERIFY(lines[3].endsWith(QStringLiteral("ongedaan gemaakt: verplaatst: 101 Ruiter 1 van plaats 1 naar 3")));

    // Thirty days are kept: older logs go when the station starts.
    const QString folder = s.dayLog().folder();
    const QString old = folder
        + QStringLiteral("/logboek-%1.txt").arg(m_kit->clock.now().addDays(-31).toString(QStringLiteral("yyyyMMdd")));
    const QString recent = folder
        + QStringLiteral("/logboek-%1.txt").arg(m_kit->clock.now().addDays(-30).toString(QStringLiteral("yyyyMMdd")));
    QVERIFY(testsupport::writeFile(old, "x\n") && testsupport::writeFile(recent, "x\n"));
    m_kit->makeStation();
    QVERIFY(!QFile::exists(old));
    QVERIFY(QFile::exists(recent));
}

QTEST_GUILESS_MAIN(TestOfficialWork)
#include "tst_officialwork.moc"
