// The station's flows end to end through the station object, without a window: start-up's read, opening
// another class, a held move and how a hold ends, the permissions, marks, the send button and the send,
// the empty view, the office's re-reads and the class's files going when it is left, on real files in a
// temporary shared folder with the clock pinned.
#include "classfile.h"
#include "colourtable.h"
#include "columns.h"
#include "daylogreader.h"
#include "fileattributes.h"
#include "files.h"
#include "settingsstore.h"
#include "stationfixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using testsupport::classBytes;
using testsupport::classOrder;
using testsupport::keysOf;
using testsupport::marksOf;
using testsupport::selectRow;

class TestStation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dayLogReadWhileWritten_data();
    void dayLogReadWhileWritten();
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
    void holdEnds_data();
    void holdEnds();
    void permissionsOtherThanOneAllowNothing_data();
    void permissionsOtherThanOneAllowNothing();
    void emptyViewOffersNoEdits();
    void sendButtonFollowsTheChanges_data();
    void sendButtonFollowsTheChanges();
    void classFilesGoWhenTheClassIsLeft_data();
    void classFilesGoWhenTheClassIsLeft();
    void openingTheSameFileKeepsThePlace();
    void listShownAtMidnightStaysShown_data();
    void listShownAtMidnightStaysShown();

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
    // The file followed at the last close, in the user's settings (the registry on Windows).
    const std::unique_ptr<SettingsStore> settings = SettingsStore::forUser();
    QVERIFY(settings->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("lastfile"), m_kit->classPath()));
    QVERIFY(settings->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("scale"), QStringLiteral("0.05")));

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
    selectRow(s, 1);
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

    QTest::newRow("may reorder: one move at the press, one at each tick") << 1 << "2 3 4 5 6 1 7 8";
    QTest::newRow("may not reorder: nothing moves") << 0 << "1 2 3 4 5 6 7 8";
    QTest::newRow("a permission other than 1: nothing moves") << 2 << "1 2 3 4 5 6 7 8";
}

void TestStation::moveHoldRelease()
{
    QFETCH(int, editvolgorde);
    QFETCH(QString, after);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4 5 6 7 8", editvolgorde)));
    selectRow(s, 1);
    QSignalSpy moved(&s, &Station::lineMoved);

    s.pressMove(regels::Richting::Omlaag);
    QList<int> intervals { s.timerRegelsVerplaatsen()->interval() };
    for (int tick = 0; tick < 4; ++tick) {
        s.TimerRegelsVerplaatsen_Timer();
        intervals << s.timerRegelsVerplaatsen()->interval();
    }
    const bool moves = editvolgorde == 1;
    QCOMPARE(s.timerRegelsVerplaatsen()->isActive(), moves);
    // After 300 ms, 200 ms later, and every 100 ms from then on.
    if (moves)
        QCOMPARE(intervals, (QList<int> { 300, 200, 100, 100, 100 }));
    // The send button waits for the release.
    QVERIFY(!s.buttons().verzenden);
    s.releaseMove();
    QVERIFY(!s.timerRegelsVerplaatsen()->isActive());
    QVERIFY(!s.heldMove());
    // A tick that was already due moves nothing after the release.
    s.TimerRegelsVerplaatsen_Timer();

    QCOMPARE(keysOf(s.working()), after);
    QCOMPARE(moved.size(), moves ? 5 : 0);
    // The positions belong to the places.
    QCOMPARE(s.working().textMatrix(4, column::Position), QString("4"));
    QCOMPARE(s.working().row(), moves ? 6 : 1);
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
    selectRow(s, 2);
    s.addToSelection(3);
    s.wisselnietgestart();
    QCOMPARE(marksOf(s.working()), marked);
    QCOMPARE(s.buttons().verzenden, sendable);
    // Pressed again, the mark goes and nothing is left to send.
    s.wisselnietgestart();
    QCOMPARE(marksOf(s.working()), QString("- - - -"));
    QVERIFY(!s.buttons().verzenden);
}

void TestStation::send()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 P 3")));
    m_kit->clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    QSignalSpy written(&s, &Station::sendWritten);
    selectRow(s, 4);
    s.wisselnietgestart();
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);

    const SendResult result = s.verzendmutatie();
    QVERIFY(result.written);
    QCOMPARE(written.size(), 1);
    // Written away from the window's thread: no pause that holds the window.
    QCOMPARE(m_kit->clock.pausedMilliseconds(), 0);
    QCOMPARE(s.status().send, StationStatus::Send::Waiting);
    // One copy for each office program, named after the send's time and the class's rid, hidden.
    const QStringList files = m_kit->mutationFiles();
    QCOMPARE(files, (QStringList { "20261207-140509-7-baldovenaar-h.mut", "20261207-140509-7-baldovenaar-s.mut" }));
    const QByteArray expected = "wnr:12\r\nrid:7\r\norder:2\t1\tP\t3\r\nnotstarted:3\r\nstarted:2\t1\tP\r\ntext:\r\n";
    for (const QString& name : files) {
        const QString path = m_kit->sharedFolder() + "/" + name;
        QCOMPARE(testsupport::readFile(path), expected);
        QCOMPARE(platform::fileAttributes(path).value_or(-1), platform::AttrHidden | platform::AttrArchive);
    }
    // The ring's list stays as it is, and may be sent again until the office answers.
    QCOMPARE(keysOf(s.working()), QString("2 1 P 3"));
    QVERIFY(s.buttons().verzenden);
    QVERIFY(m_kit->messages.isEmpty());
}

void TestStation::failedSendIsToldTheOfficial()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    selectRow(s, 1);
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

    QTest::newRow("a horse's name changed: merged, the ring's move stays") << "1 2 3 4"
                                                                           << "Quibus" << false << "2 1 3 4";
    QTest::newRow("a starter withdrawn: the office's list replaces the ring's") << "1 2 4"
                                                                                << "Quibus" << true << "1 2 4";
    QTest::newRow("the ring's order taken in: replaced, nothing left to send") << "2 1 3 4"
                                                                               << "Paard 2" << true << "2 1 3 4";
}

void TestStation::rereads()
{
    QFETCH(QString, officeKeys);
    QFETCH(QString, officeHorse);
    QFETCH(bool, replaced);
    QFETCH(QString, ringKeys);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4")));
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QSignalSpy merges(&s, &Station::listMerged);
    QSignalSpy replaces(&s, &Station::listReplaced);

    kantoor::PublishedOrder office = classOrder(officeKeys);
    QVERIFY(testsupport::setCell(office, "2", column::Horse, officeHorse));
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(office)));
    s.Timer1_Timer();

    QCOMPARE(replaces.size(), replaced ? 1 : 0);
    QCOMPARE(merges.size(), replaced ? 0 : 1);
    QCOMPARE(s.listNews(), replaced ? ListNews::New : ListNews::Same);
    QCOMPARE(keysOf(s.working()), ringKeys);
    const int row2 = ringKeys.split(' ').indexOf("2") + 1;
    QCOMPARE(s.working().textMatrix(row2, column::Horse), officeHorse);
    QCOMPARE(s.buttons().verzenden, ringKeys != officeKeys);

    // The next tick finds nothing new: the indicator turns white again, nothing is read.
    s.Timer1_Timer();
    QCOMPARE(s.listNews(), ListNews::Same);
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(true);
    QCOMPARE(replaces.size() + merges.size(), 1);
}

void TestStation::tickDoesNotOverlapItself()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    QVERIFY(m_kit->publish(classBytes("1 2 3 4 5")));
    // A tick that comes while a tick's check is reading returns at once: it reads nothing itself.
    int reads = 0;
    s.setReadHooks({ [&] {
                        if (++reads == 1)
                            s.Timer1_Timer();
                    },
        {} });
    s.Timer1_Timer();
    QCOMPARE(reads, 1);
    QCOMPARE(keysOf(s.working()), QString("1 2 3 4 5"));
    QVERIFY(!s.state().timerbezig);
}

void TestStation::holdEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("released") << "released";
    QTest::newRow("the office withdraws the permission while it is held") << "permission withdrawn";
    QTest::newRow("the file is of yesterday: the empty view") << "empty view";
    QTest::newRow("the station closes") << "unloaded";
}

// However a hold ends, the held line never runs on by itself.
void TestStation::holdEnds()
{
    QFETCH(QString, how);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4 5 6")));
    selectRow(s, 1);
    s.pressMove(regels::Richting::Omlaag);
    QCOMPARE(s.working().row(), 2);
    QVERIFY(s.timerRegelsVerplaatsen()->isActive());

    if (how == "released") {
        s.releaseMove();
    } else if (how == "permission withdrawn") {
        QVERIFY(m_kit->publish(classBytes("1 2 3 4 5 6", 0, 1)));
        s.Timer1_Timer();
        QVERIFY(!s.buttons().volgorde);
    } else if (how == "empty view") {
        QVERIFY(testsupport::setModified(m_kit->classPath(), m_kit->today().addDays(-1)));
        s.Timer1_Timer();
        QVERIFY(!s.listShown());
    } else if (how == "unloaded") {
        s.unload();
    }
    for (int tick = 0; tick < 5; ++tick)
        s.TimerRegelsVerplaatsen_Timer();
    QVERIFY(!s.timerRegelsVerplaatsen()->isActive());
    QVERIFY(!s.heldMove());
    QCOMPARE(s.working().row(), 2);
    QCOMPARE(keysOf(s.working()), QString("2 1 3 4 5 6"));
}

void TestStation::permissionsOtherThanOneAllowNothing_data()
{
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<int>("editnietgestart");

    QTest::newRow("reorder 2, mark 0") << 2 << 0;
    QTest::newRow("reorder 0, mark 2") << 0 << 2;
    QTest::newRow("reorder -1, mark 11") << -1 << 11;
}

// Only 1 allows an edit. The buttons are greyed, and the edits, reached all the same (a key, a click that
// was under way), change nothing and say nothing.
void TestStation::permissionsOtherThanOneAllowNothing()
{
    QFETCH(int, editvolgorde);
    QFETCH(int, editnietgestart);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3 4", editvolgorde, editnietgestart)));
    QCOMPARE(s.buttons(), Station::Buttons());
    selectRow(s, 1);
    s.addToSelection(3);

    s.pressMove(regels::Richting::Omlaag);
    s.TimerRegelsVerplaatsen_Timer();
    s.releaseMove();
    s.verplaatsregel(regels::Richting::Omlaag);
    s.wisselrijen();
    s.wisselnietgestart();

    QCOMPARE(keysOf(s.working()), QString("1 2 3 4"));
    QCOMPARE(marksOf(s.working()), QString("- - - -"));
    QVERIFY(!s.timerRegelsVerplaatsen()->isActive());
    QCOMPARE(s.buttons(), Station::Buttons());
    QVERIFY(m_kit->messages.isEmpty());
}

void TestStation::emptyViewOffersNoEdits()
{
    Station& s = m_kit->makeStation();
    const QByteArray bytes = classBytes("1 2 3");
    QVERIFY(m_kit->follow(bytes));
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QVERIFY(s.buttons().volgorde && s.buttons().nietGestart && s.buttons().verzenden);

    // The file is of yesterday now: the empty view, nothing to edit or send in it.
    QVERIFY(testsupport::setModified(m_kit->classPath(), m_kit->today().addDays(-1)));
    s.Timer1_Timer();
    QVERIFY(!s.listShown());
    QCOMPARE(s.buttons(), Station::Buttons());
    // The edits, reached all the same, leave the hidden list alone.
    s.pressMove(regels::Richting::Omlaag);
    s.releaseMove();
    s.wisselnietgestart();
    QVERIFY(!s.timerRegelsVerplaatsen()->isActive());
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));
    QCOMPARE(marksOf(s.working()), QString("- - -"));
    QCOMPARE(s.buttons(), Station::Buttons());

    // The office writes it again today: the list and its buttons come back, the ring's move with them.
    QVERIFY(m_kit->publish(bytes));
    s.Timer1_Timer();
    QVERIFY(s.listShown());
    QVERIFY(s.buttons().volgorde && s.buttons().nietGestart && s.buttons().verzenden);
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));
}

void TestStation::sendButtonFollowsTheChanges_data()
{
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<int>("editnietgestart");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nothing changed") << 1 << 1 << "none" << false;
    QTest::newRow("a move, reordering allowed") << 1 << 0 << "move" << true;
    QTest::newRow("a move undone by hand") << 1 << 1 << "move back" << false;
    QTest::newRow("a mark, marking allowed") << 0 << 1 << "mark" << true;
    QTest::newRow("a mark, only reordering allowed") << 1 << 0 << "file mark" << false;
    QTest::newRow("a mark from the file, marking allowed") << 1 << 1 << "file mark" << true;
    QTest::newRow("a lower-case n in the status is no mark") << 1 << 1 << "lower-case status" << false;
    QTest::newRow("the office's N with the ring's N agree") << 1 << 1 << "both N" << false;
    QTest::newRow("a move and a mark, marking allowed") << 2 << 1 << "move and mark" << true;
    QTest::newRow("a move and a mark, neither allowed") << 0 << 0 << "move and mark" << false;
}

// The send button after a check of the file: on when the ring's list differs from the office's in what
// the ring may report.
void TestStation::sendButtonFollowsTheChanges()
{
    QFETCH(int, editvolgorde);
    QFETCH(int, editnietgestart);
    QFETCH(QString, change);
    QFETCH(bool, enabled);

    kantoor::PublishedOrder order = classOrder("1 2 3", editvolgorde, editnietgestart);
    if (change == "file mark")
        QVERIFY(testsupport::setCell(order, "2", column::Mark, "N"));
    if (change == "lower-case status")
        QVERIFY(testsupport::setCell(order, "2", column::Status, "n"));
    if (change == "both N") {
        QVERIFY(testsupport::setCell(order, "2", column::Status, "N (kreupel)"));
        QVERIFY(testsupport::setCell(order, "2", column::Mark, "N"));
    }
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(order)));
    // Without the permission the station refuses the edits; the change is made on the grid itself, as a
    // list kept from before would have it.
    struct : GridControl {
        GridTable* table = nullptr;
        void setTable(GridTable* shown) override { table = shown; }
    } control;
    s.showIn(control);
    if (change == "move" || change == "move back" || change == "move and mark") {
        control.table->setRow(1);
        regels::verplaatsregel(*control.table, regels::Richting::Omlaag);
    }
    if (change == "move back")
        regels::verplaatsregel(*control.table, regels::Richting::Omhoog);
    if (change == "mark" || change == "move and mark")
        control.table->setTextMatrix(3, column::Mark, "N");
    s.Timer1_Timer();
    QCOMPARE(s.buttons().verzenden, enabled);
}

void TestStation::classFilesGoWhenTheClassIsLeft_data()
{
    QTest::addColumn<bool>("closed");
    QTest::newRow("the same class opened again") << false;
    QTest::newRow("the station closes") << true;
}

// The class's mutation files go when the official opens a class (the same one too) and when the station
// closes; another class's files of today in the same folder are never touched.
void TestStation::classFilesGoWhenTheClassIsLeft()
{
    QFETCH(bool, closed);
    const QString other = QStringLiteral("20261207-090000-8-baldovenaar-s.mut");
    QVERIFY(testsupport::writeFile(m_kit->sharedFolder() + "/" + other, "wnr:1\r\n"));
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QVERIFY(s.verzendmutatie().written);
    QCOMPARE(m_kit->mutationFiles().size(), 3);

    if (closed) {
        s.unload();
    } else {
        s.beginOpen();
        s.finishOpen(m_kit->classPath());
        // Read again; the ring's move, never taken in, comes back from the journal, to be sent again.
        QCOMPARE(keysOf(s.working()), QString("2 1 3"));
        QVERIFY(s.buttons().verzenden);
    }
    QCOMPARE(m_kit->mutationFiles(), QStringList { other });
}

void TestStation::openingTheSameFileKeepsThePlace()
{
    // Openen of the file already followed reads it again, forced, and leaves the official where they were: on
    // row 12, with row 5 at the top.
    Station& s = m_kit->makeStation();
    QStringList keys;
    for (int k = 1; k <= 30; ++k)
        keys << QString::number(k);
    QVERIFY(m_kit->follow(classBytes(keys.join(u' '))));
    selectRow(s, 12);
    for (int step = 0; step < 4; ++step)
        QVERIFY(s.scrollGrid(-1)); // the wheel turned towards the official: one row down each time
    QCOMPARE(s.working().topRow(), 5);
    s.beginOpen();
    s.finishOpen(m_kit->classPath());
    QCOMPARE(s.working().row(), 12);
    QCOMPARE(s.working().topRow(), 5);
    QList<int> selected;
    for (int r = 1; r < s.working().rows(); ++r) {
        if (s.working().rowData(r) == 1)
            selected << r;
    }
    QCOMPARE(selected, QList<int> { 12 });
    QVERIFY(s.listShown());
}

void TestStation::listShownAtMidnightStaysShown_data()
{
    QTest::addColumn<QString>("after"); // what happens past midnight
    QTest::addColumn<int>("minutes"); // after midnight
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("keys");

    QTest::newRow("a tick: the list stays with the ring's move") << "tick" << 10 << true << "2 1 3";
    QTest::newRow("ticks until morning: still shown") << "tick" << 8 * 60 << true << "2 1 3";
    QTest::newRow("12 hours after the file was last seen of its day: the empty view")
        << "tick" << 12 * 60 + 5 << false << "";
    QTest::newRow("Openen of the same file: only a file of today is shown") << "open" << 10 << false << "";
    QTest::newRow("start-up: only a file of today is shown") << "start" << 10 << false << "";
    QTest::newRow("the office writes it anew: read as today's, the move kept") << "publish" << 10 << true << "2 1 3";
}

void TestStation::listShownAtMidnightStaysShown()
{
    QFETCH(QString, after);
    QFETCH(int, minutes);
    QFETCH(bool, shown);
    QFETCH(QString, keys);
    // A class that runs late: shown at 23:50, a starter moved and not sent yet.
    const QDateTime lateEvening(QDate(2026, 12, 7), QTime(23, 50, 0));
    m_kit->clock.setNow(lateEvening);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("1 2 3")));
    selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    m_kit->clock.setNow(lateEvening.addSecs(5 * 60));
    s.Timer1_Timer();
    QCOMPARE(keysOf(s.working()), QString("2 1 3"));

    const QDateTime midnight(QDate(2026, 12, 8), QTime(0, 0, 0));
    m_kit->clock.setNow(midnight.addSecs(60 * minutes));
    Station* station = &s;
    if (after == u"tick") {
        // Every 5 minutes through the night, as the checks go on.
        for (QDateTime at = midnight.addSecs(60); at <= m_kit->clock.now(); at = at.addSecs(300)) {
            const QDateTime until = m_kit->clock.now();
            m_kit->clock.setNow(at);
            s.Timer1_Timer();
            m_kit->clock.setNow(until);
        }
        s.Timer1_Timer();
    } else if (after == u"open") {
        s.beginOpen();
        s.finishOpen(m_kit->classPath());
    } else if (after == u"start") {
        s.unload();
        station = &m_kit->makeStation();
        station->start();
    } else if (after == u"publish") {
        QVERIFY(testsupport::writeFile(m_kit->classPath(), classBytes("1 2 3"), midnight.addSecs(60)));
        s.Timer1_Timer();
    }
    QCOMPARE(station->listShown(), shown);
    if (shown)
        QCOMPARE(keysOf(station->working()), keys);
    else
        QCOMPARE(station->status().follow, StationStatus::Follow::NotToday);
}

void TestStation::dayLogReadWhileWritten_data()
{
    // Each step writes to the log ("+" appends, "=" replaces it, "-" removes it), then the reader looks:
    // the lines it gives, "|" between them, and "!" in front when what was shown must go first.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("read");

    QTest::newRow("every line once, as it is added")
        << QStringList { "+a\nb\n", "+c\n", "+" } << QStringList { "a|b", "c", "" };
    QTest::newRow("a line still being written waits for its end")
        << QStringList { "+a\nb", "+c\r\n" } << QStringList { "a", "bc" };
    QTest::newRow("a file replaced by a shorter one: read again from its start")
        << QStringList { "+a\nb\n", "=x\n" } << QStringList { "a|b", "!x" };
    QTest::newRow("no file yet, then the day's first line") << QStringList { "-", "+a\n" } << QStringList { "", "a" };
    QTest::newRow("a file that went: what was shown goes") << QStringList { "+a\n", "-" } << QStringList { "a", "!" };
    QTest::newRow("names from the office's files, in UTF-8")
        << QStringList { "+Bj\u00f6rn \u20ac\n" } << QStringList { QString::fromUtf8("Björn €") };
}

void TestStation::dayLogReadWhileWritten()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, read);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logboek-20261207.txt"));
    DayLogReader reader(path);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString step = steps[i];
        QFile file(path);
        if (step.startsWith(u'-')) {
            file.remove();
        } else {
            QVERIFY(file.open(step.startsWith(u'=') ? QIODevice::WriteOnly : QIODevice::Append));
            file.write(step.mid(1).toUtf8());
            file.close();
        }
        const DayLogReader::Update update = reader.readNew();
        QCOMPARE((update.restarted ? QStringLiteral("!") : QString()) + update.lines.join(u'|'), read[i]);
    }
}

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
