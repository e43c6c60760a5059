// The station's flows end to end through the station object, without a window: start-up's read, opening
// another class, a held move, marks, the send, and the office's re-reads, on real files in a temporary
// shared folder with the clock pinned.
#include "classfile.h"
#include "colourtable.h"
#include "columns.h"
#include "files.h"
#include "stationfixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using testsupport::classBytes;
using testsupport::classOrder;
using testsupport::keysOf;

namespace {

// Makes one row the current and only selected one, as a plain click on it does.
void select(Station& station, int row)
{
    station.working().setRow(row);
    station.working().setRowSel(row);
    station.grid_SelChange();
}

QString marks(const GridTable& grid)
{
    QStringList marks;
    for (int r = 1; r < grid.rows(); ++r)
        marks << (grid.textMatrix(r, column::Mark).isEmpty() ? QStringLiteral("-") : grid.textMatrix(r, column::Mark));
    return marks.join(u' ');
}

} // namespace

class TestStation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpReadsTheFollowedFile_data();
    void startUpReadsTheFollowedFile();
    void openAnotherClass();
    void moveHoldRelease_data();
    void moveHoldRelease();
    void markNotStarted_data();
    void markNotStarted();
    void send();
    void failedSendIsToldTheOfficial();
    void rereads_data();
    void rereads();
    void tickDoesNotOverlapItself();

private:
    Station& station() { return m_kit->station(); }

    std::unique_ptr<testsupport::StationFixture> m_kit;
};

void TestStation::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    QVERIFY(m_kit->isValid());
}

void TestStation::cleanup()
{
    m_kit.reset();
}

void TestStation::startUpReadsTheFollowedFile_data()
{
    QTest::addColumn<int>("daysOld"); // -1: no file at all
    QTest::addColumn<bool>("shown");

    QTest::newRow("written today: shown") << 0 << true;
    QTest::newRow("written yesterday: the empty view") << 1 << false;
    QTest::newRow("not there: the empty view") << -1 << false;
}

void TestStation::startUpReadsTheFollowedFile()
{
    QFETCH(int, daysOld);
    QFETCH(bool, shown);
    if (daysOld >= 0) {
        QVERIFY(testsupport::writeFile(
            m_kit->classPath(), classBytes("1 2 P 3"), m_kit->today().addDays(-daysOld).addSecs(-60)));
    }
    // The file followed at the last close.
    QFile ini(m_kit->configFolder() + "/Korvalen 3.5.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Baldovenaar]\nlastfile=" + QFile::encodeName(m_kit->classPath()) + "\nscale=0.05\n");
    ini.close();

    Station& s = m_kit->makeStation();
    QSignalSpy rebuilt(&s, &Station::listRebuilt);
    s.start();
    QCOMPARE(s.state().scale, 0.05);
    QCOMPARE(s.listShown(), shown);
    QCOMPARE(rebuilt.size(), shown ? 1 : 0);
    QVERIFY(s.timer1()->isActive());
    QCOMPARE(s.caption(),
        shown ? QString("Korvalen Baldovenaar - baldovenaar rst-0007 (Ruitersport Oost)")
              : QString("Korvalen Baldovenaar"));
    QCOMPARE(s.titel(), shown ? QString("Springen klasse M") : QString());
    QCOMPARE(keysOf(s.working()), shown ? QString("1 2 P 3") : QString(""));
    QCOMPARE(s.buttons().volgorde, shown);
    QCOMPARE(s.buttons().nietGestart, shown);
    QVERIFY(!s.buttons().verzenden);
    if (shown)
        return;
    // The office publishes it later: the next tick shows it, rebuilt as a start-up read would.
    QVERIFY(m_kit->publish(classBytes("1 2 P 3")));
    s.Timer1_Timer();
    QVERIFY(s.listShown());
    QCOMPARE(rebuilt.size(), 1);
    QCOMPARE(keysOf(s.working()), QString("1 2 P 3"));
}

void TestStation::openAnotherClass()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    QCOMPARE(s.state().owner, QString("Ruitersport Oost"));
    // A send of this class is pending in the folder when the official opens another one.
    select(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QVERIFY(s.verzendmutatie().written);
    QCOMPARE(m_kit->mutationFiles().size(), 2);

    kantoor::PublishedOrder other = classOrder("21 22", 0, 0);
    other.owner.clear();
    other.wnr.clear();
    other.rid = QStringLiteral("8");
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(other), "0008"));
    QCOMPARE(s.beginOpen(), QDir(m_kit->sharedFolder()).path() + "/");
    QVERIFY(!s.timer1()->isActive());
    s.finishOpen(m_kit->classPath("0008"));

    QVERIFY(s.timer1()->isActive());
    QCOMPARE(m_kit->mutationFiles(), QStringList());
    QCOMPARE(keysOf(s.working()), QString("21 22"));
    QCOMPARE(s.state().owner, QString());
    QCOMPARE(s.state().wnr, QString());
    QCOMPARE(s.state().rid, QString("8"));
    QCOMPARE(int(s.state().editvolgorde), 0);
    QCOMPARE(int(s.state().editnietgestart), 0);
    QCOMPARE(s.caption(), QString("Korvalen Baldovenaar - baldovenaar rst-0008 ()"));
    QCOMPARE(s.state().zoekpatroon(), QString("baldovenaar rst-0008*.dvz"));
    QCOMPARE(s.buttons(), Station::Buttons());

    // Cancelled: the class stays followed.
    s.beginOpen();
    s.finishOpen(std::nullopt);
    QCOMPARE(s.state().bestandspad(), m_kit->classPath("0008"));
    QVERIFY(s.timer1()->isActive());
}

void TestStation::moveHoldRelease_data()
{
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<QString>("after");

    QTest::newRow("may reorder: one move at the press, one at each tick") << 1 << "2 3 4 1 5 6";
    QTest::newRow("may not reorder: nothing moves") << 0 << "1 2 3 4 5 6";
    QTest::newRow("a permission other than 1: nothing moves") << 2 << "1 2 3 4 5 6";
}

void TestStation::moveHoldRelease()
{
    QFETCH(int, editvolgorde);
    QFETCH(QString, after);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4 5 6", editvolgorde)));
    select(s, 1);
    QSignalSpy moved(&s, &Station::lineMoved);

    s.pressMove(regels::Richting::Omlaag);
    QList<int> intervals { s.timerRegelsVerplaatsen()->interval() };
    for (int tick = 0; tick < 2; ++tick) {
        s.TimerRegelsVerplaatsen_Timer();
        intervals << s.timerRegelsVerplaatsen()->interval();
    }
    const bool moves = editvolgorde == 1;
    QCOMPARE(s.timerRegelsVerplaatsen()->isActive(), moves);
    if (moves)
        QCOMPARE(intervals, (QList<int> { 300, 200, 100 }));
    s.releaseMove();
    QVERIFY(!s.timerRegelsVerplaatsen()->isActive());
    QVERIFY(!s.heldMove());
    // A tick that was already due moves nothing after the release.
    s.TimerRegelsVerplaatsen_Timer();

    QCOMPARE(keysOf(s.working()), after);
    QCOMPARE(moved.size(), moves ? 3 : 0);
    // The positions belong to the places.
    QCOMPARE(s.working().textMatrix(4, column::Position), QString("4"));
    QCOMPARE(s.working().row(), moves ? 4 : 1);
    QCOMPARE(s.buttons().verzenden, moves);
}

void TestStation::markNotStarted_data()
{
    QTest::addColumn<int>("editnietgestart");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<bool>("sendable");

    QTest::newRow("may mark") << 1 << "- N - -" << true;
    QTest::newRow("may not mark") << 0 << "- - - -" << false;
}

void TestStation::markNotStarted()
{
    QFETCH(int, editnietgestart);
    QFETCH(QString, marked);
    QFETCH(bool, sendable);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 P 3", 1, editnietgestart)));
    // A pause line selected with the starter is never marked.
    select(s, 2);
    s.working().setRowData(3, 1);
    s.wisselnietgestart();
    QCOMPARE(marks(s.working()), marked);
    QCOMPARE(s.buttons().verzenden, sendable);
    // Pressed again, the mark goes and nothing is left to send.
    s.wisselnietgestart();
    QCOMPARE(marks(s.working()), QString("- - - -"));
    QVERIFY(!s.buttons().verzenden);
}

void TestStation::send()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    QSignalSpy written(&s, &Station::sendWritten);
    QSignalSpy busy(&s, &Station::busyChanged);
    select(s, 3);
    s.wisselnietgestart();
    select(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);

    const SendResult result = s.verzendmutatie();
    QVERIFY(result.written);
    QCOMPARE(written.size(), 1);
    QCOMPARE(busy.size(), 2);
    QCOMPARE(m_kit->clock.pausedMilliseconds(), 500);
    const QStringList files = m_kit->mutationFiles();
    QCOMPARE(files.size(), 2);
    const QByteArray bytes = testsupport::readFile(m_kit->sharedFolder() + "/" + files[0]);
    QCOMPARE(bytes, QByteArray("wnr:12\r\nrid:7\r\norder:2\t1\t3\r\nnotstarted:3\r\nstarted:2\t1\r\ntext:\r\n"));
    QCOMPARE(testsupport::readFile(m_kit->sharedFolder() + "/" + files[1]), bytes);
    // The ring's list stays as it is, and may be sent again until the office answers.
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));
    QVERIFY(s.buttons().verzenden);
    QVERIFY(m_kit->messages.isEmpty());
}

void TestStation::failedSendIsToldTheOfficial()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    select(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QSignalSpy failed(&s, &Station::sendFailed);
    // The shared folder is gone (the network share dropped).
    QVERIFY(QDir(m_kit->sharedFolder()).removeRecursively());

    const SendResult result = s.verzendmutatie();
    QVERIFY(!result.written);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(m_kit->messages.size(), 1);
    QVERIFY(m_kit->messages[0].startsWith("De wijziging is niet verzonden:"));
    // Nothing of the ring's work is lost: the list stays, and may be sent again.
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));
    QVERIFY(s.buttons().verzenden);
}

void TestStation::rereads_data()
{
    QTest::addColumn<QString>("officeKeys");
    QTest::addColumn<QString>("officeHorse"); // the horse of starter 2 in the office's new file
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QString>("ringKeys");

    QTest::newRow("a horse's name changed: merged, the ring's move stays") << "1 2 3 4" << "Quibus" << false
                                                                            << "2 1 3 4";
    QTest::newRow("a starter withdrawn: the office's list replaces the ring's") << "1 2 4" << "Quibus" << true
                                                                                 << "1 2 4";
    QTest::newRow("the ring's order taken in: replaced, nothing left to send") << "2 1 3 4" << "Paard 2" << true
                                                                                << "2 1 3 4";
}

void TestStation::rereads()
{
    QFETCH(QString, officeKeys);
    QFETCH(QString, officeHorse);
    QFETCH(bool, replaced);
    QFETCH(QString, ringKeys);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4")));
    select(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QSignalSpy merges(&s, &Station::listMerged);
    QSignalSpy replaces(&s, &Station::listReplaced);

    kantoor::PublishedOrder office = classOrder(officeKeys);
    QVERIFY(testsupport::setCell(office, "2", column::Horse, officeHorse));
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(office)));
    s.Timer1_Timer();

    QCOMPARE(replaces.size(), replaced ? 1 : 0);
    QCOMPARE(merges.size(), replaced ? 0 : 1);
    QCOMPARE(s.mutatieColour(), replaced ? colours::green : colours::white);
    QCOMPARE(keysOf(s.working()), ringKeys);
    const int row2 = ringKeys.split(' ').indexOf("2") + 1;
    QCOMPARE(s.working().textMatrix(row2, column::Horse), officeHorse);
    QCOMPARE(s.buttons().verzenden, ringKeys != officeKeys);

    // The next tick finds nothing new: the indicator turns white again, nothing is read.
    s.Timer1_Timer();
    QCOMPARE(s.mutatieColour(), colours::white);
    QCOMPARE(replaces.size() + merges.size(), 1);
}

void TestStation::tickDoesNotOverlapItself()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    QVERIFY(m_kit->publish(classBytes("1 2 3 4 5")));
    s.state().timerbezig = true;
    s.Timer1_Timer();
    QCOMPARE(keysOf(s.working()), QString("1 2 3"));
    s.state().timerbezig = false;
    s.Timer1_Timer();
    QCOMPARE(keysOf(s.working()), QString("1 2 3 4 5"));
    QVERIFY(!s.state().timerbezig);
}

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
