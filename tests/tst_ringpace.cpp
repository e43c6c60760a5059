// The ring's pace through the station, with a pinned clock: a class ridden by moving the ring pointer on, the
// expected go-times against the times the starters really went in (one long round, a pause and a starter not
// started in the way, a restart of the station in the middle); the warning when a move crowds a rider, cleared
// by its undo and never given for the office's own list; and a starter dragged by its Volg cell, which must equal
// the same moves made by button in the list, the mutation file, the undo history and the day log.
#include "boardfeed.h"
#include "classfile.h"
#include "columns.h"
#include "files.h"
#include "publication.h"
#include "stationfixture.h"

#include <QTest>

using testsupport::classOrder;
using testsupport::keysOf;
using testsupport::selectRow;

namespace {

// A class as the office plans it: the starters two minutes apart from 10:00, each pause line fifteen minutes.
kantoor::PublishedOrder plannedClass(const QString& keys)
{
    kantoor::PublishedOrder order = classOrder(keys);
    QTime time(10, 0);
    for (QStringList& line : order.lines) {
        line[column::Time] = time.toString(QStringLiteral("HH:mm"));
        time = time.addSecs(isPauseKey(line[column::Key]) ? 15 * 60 : 120);
    }
    return order;
}

QString keys(int count, const QString& pauseAfter = QString())
{
    QStringList list;
    for (int i = 1; i <= count; ++i) {
        list << QString::number(i);
        if (QString::number(i) == pauseAfter)
            list << QStringLiteral("P");
    }
    return list.join(u' ');
}

QStringList dayLog(Station& station)
{
    return QString::fromUtf8(testsupport::readFile(station.dayLog().todaysFile())).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestRingPace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void estimatesFollowTheRing_data();
    void estimatesFollowTheRing();
    void boardShowsExpectedTimesAndProgress();
    void crowdingMoveWarns_data();
    void crowdingMoveWarns();
    void dragEqualsTheSameMovesByButton_data();
    void dragEqualsTheSameMovesByButton();
    void officePlanFromItsTimes_data();
    void officePlanFromItsTimes();
    void progressCountsEqualTheWalk();

private:
    Station& station() { return m_kit->station(); }
    std::unique_ptr<testsupport::StationFixture> m_kit;
};

void TestRingPace::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    QVERIFY(m_kit->isValid());
    m_kit->makeStation();
}

void TestRingPace::cleanup()
{
    m_kit.reset();
}

void TestRingPace::estimatesFollowTheRing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("notStarted"); // keys the office has as not started
    QTest::addColumn<int>("longRound"); // the index of the one 600 s round, -1 for none
    QTest::addColumn<int>("restartAfter"); // the station restarts after this many moves on, -1 for none

    QTest::newRow("twenty starters at 90 s") << keys(20) << QString() << -1 << -1;
    QTest::newRow("one round of 600 s among them") << keys(20) << QString() << 8 << -1;
    QTest::newRow("a pause and a starter not started in the way")
        << keys(20, QStringLiteral("9")) << QStringLiteral("14") << 5 << -1;
    QTest::newRow("a restart in the middle keeps the pace") << keys(20, QStringLiteral("12")) << QString() << 6 << 10;
}

void TestRingPace::estimatesFollowTheRing()
{
    QFETCH(QString, keys);
    QFETCH(QString, notStarted);
    QFETCH(int, longRound);
    QFETCH(int, restartAfter);

    kantoor::PublishedOrder order = plannedClass(keys);
    for (const QString& key : notStarted.split(u' ', Qt::SkipEmptyParts)) {
        testsupport::setCell(order, key, column::Status, QStringLiteral("N"));
        testsupport::setCell(order, key, column::Mark, QStringLiteral("N"));
    }
    m_kit->clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(9, 58)));
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(order)));
    const GridTable& grid = station().working();

    // When each starter that rides really goes in: the first at 10:00, then a round of 90 s each (one of 600 s),
    // a pause line in the way adding its fifteen planned minutes.
    std::vector<int> riding;
    for (int r = 1; r < grid.rows(); ++r) {
        if (RingPointer::rides(grid, r))
            riding.push_back(r);
    }
    std::vector<QDateTime> goes { QDateTime(QDate(2026, 12, 7), QTime(10, 0)) };
    for (size_t i = 1; i < riding.size(); ++i) {
        int seconds = int(i) - 1 == longRound ? 600 : 90;
        for (int r = riding[i - 1] + 1; r < riding[i]; ++r)
            seconds += isPauseKey(grid.textView(r, column::Key)) ? 15 * 60 : 0;
        goes.push_back(goes.back().addSecs(seconds));
    }

    // Before the class: the office's plan, no estimate beside it.
    QCOMPARE(station().ringPointer().row(), riding[0]);
    QVERIFY(station().expectedTip(riding[5]).isEmpty());

    for (size_t k = 1; k < riding.size(); ++k) {
        m_kit->clock.setNow(goes[k]);
        station().volgendeInDeRing();
        if (int(k) == restartAfter) {
            m_kit->makeStation();
            station().start();
        }
        QCOMPARE(station().ringPointer().row(), riding[k]);
        // Once three rounds are seen, every estimate is within 30 s of when the starter really goes, and stays so
        // after the long round: it does not make the estimates after it jump (a mean of the rounds would).
        if (k < 4)
            continue;
        ExpectedTimes times = station().expectedTimes();
        for (size_t j = k + 1; j < riding.size(); ++j) {
            const std::optional<QDateTime> expected = times.at(riding[j]);
            // No estimate foresees the long round before it is ridden.
            if (int(k) <= longRound && int(j) > longRound)
                continue;
            QVERIFY2(expected, qPrintable(QStringLiteral("no estimate for row %1").arg(riding[j])));
            QVERIFY2(qAbs(expected->secsTo(goes[j])) <= 30,
                qPrintable(QStringLiteral("after move on %1, row %2: expected %3, goes %4")
                               .arg(k)
                               .arg(riding[j])
                               .arg(expected->toString(u"HH:mm:ss"), goes[j].toString(u"HH:mm:ss"))));
        }
    }
    QVERIFY(station().classPace().pace().hasOwnPace());
}

void TestRingPace::boardShowsExpectedTimesAndProgress()
{
    m_kit->clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(plannedClass(keys(38)))));
    // Eleven rounds of 3 minutes where the office planned 2: the class runs late.
    for (int i = 0; i < 11; ++i) {
        m_kit->clock.setNow(m_kit->clock.now().addSecs(180));
        station().volgendeInDeRing();
    }
    BoardFeed feed(station());
    feed.refresh();
    const BoardContent& content = feed.content();
    QCOMPARE(progressText(content.progress), QStringLiteral("11 van 38 gereden · einde ca. 11:54"));
    // The next starter: planned 10:24, expected 10:36.
    QCOMPARE(content.top[1]->time, QStringLiteral("10:24"));
    QCOMPARE(content.top[1]->expected, QStringLiteral("ca. 10:36"));
    QVERIFY(station().expectedTip(station().ringPointer().row() + 1).contains(QStringLiteral("ca. 10:36")));
    // Back: the last move on is taken back, and one starter fewer has gone.
    station().vorigeInDeRing();
    feed.refresh();
    QCOMPARE(feed.content().progress.ridden, 10);
}

void TestRingPace::crowdingMoveWarns_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("warns");

    QTest::newRow("moved by button next to the rider's other round") << QStringLiteral("button") << true;
    QTest::newRow("dragged next to it") << QStringLiteral("drag") << true;
    QTest::newRow("swapped next to it") << QStringLiteral("swap") << true;
    QTest::newRow("a move beside the office's own crowded pair") << QStringLiteral("office") << false;
}

void TestRingPace::crowdingMoveWarns()
{
    QFETCH(QString, command);
    QFETCH(bool, warns);

    // "Anna de Vries" rides keys 3 and 12; the office itself put "Bob Bakker" on 16 and 17.
    kantoor::PublishedOrder order = plannedClass(keys(20));
    testsupport::setCell(order, QStringLiteral("3"), column::Rider, QStringLiteral("Anna de Vries"));
    testsupport::setCell(order, QStringLiteral("12"), column::Rider, QStringLiteral(" anna de VRIES "));
    testsupport::setCell(order, QStringLiteral("16"), column::Rider, QStringLiteral("Bob Bakker"));
    testsupport::setCell(order, QStringLiteral("17"), column::Rider, QStringLiteral("Bob Bakker"));
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(order)));
    QVERIFY(station().crowded().empty());
    const QString before = keysOf(station().working());

    if (command == u"button") {
        selectRow(station(), 12);
        for (int i = 0; i < 7; ++i)
            station().verplaatsregel(regels::Richting::Omhoog);
    } else if (command == u"drag") {
        station().verplaatsNaar(12, 5);
    } else if (command == u"swap") {
        station().selectRow(5);
        station().addToSelection(12);
        station().wisselrijen();
    } else {
        selectRow(station(), 19);
        station().verplaatsregel(regels::Richting::Omhoog);
    }
    QCOMPARE(station().crowded().size(), size_t(warns ? 1 : 0));
    if (!warns) {
        QVERIFY(!statusText(station().status(), m_kit->clock.now()).contains(QStringLiteral("Let op")));
        return;
    }
    const crowdedriders::Pair pair = station().crowded().front();
    QCOMPARE(pair.rowA, 3);
    QCOMPARE(pair.rowB, 5);
    QVERIFY(statusText(station().status(), m_kit->clock.now())
                .startsWith(QStringLiteral(
                    "Let op: Anna de Vries rijdt op plaats 3 en op plaats 5, met minder dan 2 starters ertussen")));
    // Undone: the warning goes with it.
    const int steps = command == u"button" ? 7 : 1;
    for (int i = 0; i < steps; ++i)
        station().ongedaanMaken();
    QCOMPARE(keysOf(station().working()), before);
    QVERIFY(station().crowded().empty());
    QVERIFY(!statusText(station().status(), m_kit->clock.now()).contains(QStringLiteral("Let op")));
}

void TestRingPace::dragEqualsTheSameMovesByButton_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("up over two pause lines") << 20 << 4;
    QTest::newRow("down over a pause line") << 3 << 12;
    QTest::newRow("onto a pause line: stops before it") << 18 << 11;
}

void TestRingPace::dragEqualsTheSameMovesByButton()
{
    QFETCH(int, from);
    QFETCH(int, to);

    const QString classKeys = QStringLiteral("1 2 3 4 5 6 7 8 9 10 P 11 12 13 14 P 15 16 17 18 19");
    const QByteArray bytes = kantoor::runningOrderBytes(plannedClass(classKeys));
    struct Outcome
    {
        QString keys;
        QString positions;
        QByteArray mutation;
        QString logged;
        QString undone;
    };
    auto run = [&](bool drag) {
        Outcome outcome;
        m_kit = std::make_unique<testsupport::StationFixture>();
        m_kit->makeStation();
        if (!m_kit->follow(bytes))
            return outcome;
        Station& s = station();
        const int landing = s.landingRow(from, to);
        if (drag) {
            s.verplaatsNaar(from, to);
        } else {
            // The held button: one press, the repeats until the line stands where the drag lands, the release.
            selectRow(s, from);
            s.pressMove(landing < from ? regels::Richting::Omhoog : regels::Richting::Omlaag);
            while (s.working().row() != landing)
                s.TimerRegelsVerplaatsen_Timer();
            s.releaseMove();
        }
        outcome.keys = keysOf(s.working());
        for (int r = 1; r < s.working().rows(); ++r)
            outcome.positions += s.working().textMatrix(r, column::Position) + u' ';
        s.verzendmutatie();
        for (const QString& name : m_kit->mutationFiles()) {
            if (name.endsWith(QStringLiteral("-s.mut")))
                outcome.mutation = testsupport::readFile(QDir(m_kit->sharedFolder()).filePath(name));
        }
        outcome.logged = dayLog(s).filter(QStringLiteral("verplaatst")).value(0).section(u'\t', 2);
        s.ongedaanMaken();
        outcome.undone = keysOf(s.working());
        return outcome;
    };
    const Outcome byButton = run(false);
    const Outcome byDrag = run(true);
    QVERIFY(byDrag.keys != QString(classKeys));
    QCOMPARE(byDrag.keys, byButton.keys);
    QCOMPARE(byDrag.positions, byButton.positions);
    QVERIFY(!byDrag.mutation.isEmpty());
    QCOMPARE(byDrag.mutation, byButton.mutation);
    QVERIFY(byDrag.logged.startsWith(QStringLiteral("verplaatst: ")));
    QCOMPARE(byDrag.logged, byButton.logged);
    QCOMPARE(byDrag.undone, classKeys);
    QCOMPARE(byButton.undone, classKeys);
}

void TestRingPace::officePlanFromItsTimes_data()
{
    QTest::addColumn<QString>("times"); // the Tijd column, line by line ("|" between lines), "P:" a pause line
    QTest::addColumn<int>("interval"); // -1: none
    QTest::addColumn<int>("pause"); // the first pause line's length, -1: none known

    QTest::newRow("two minutes apart, a pause of 15") << "10:00|10:02|10:04|P:10:06|10:21|10:23" << 120 << 900;
    QTest::newRow("as the office writes them") << "9:58|10.00|10:02:00|10:04" << 120 << -1;
    QTest::newRow("the most frequent gap wins, of equal counts the shorter")
        << "10:00|10:01:30|10:03|10:05|10:07" << 90 << -1;
    QTest::newRow("a pause without a time starts one interval after the starter before it")
        << "10:00|10:02|P:|10:20" << 120 << 960;
    QTest::newRow("no times: no plan") << "|||P:|" << -1 << -1;
    QTest::newRow("texts that are no times") << "24:00|10:60|1030|10:0|abc|10:00:00:00" << -1 << -1;
}

void TestRingPace::officePlanFromItsTimes()
{
    QFETCH(QString, times);
    QFETCH(int, interval);
    QFETCH(int, pause);

    QStringList keys;
    const QStringList lines = times.split(u'|');
    for (int i = 0; i < lines.size(); ++i)
        keys << (lines[i].startsWith(u"P:") ? QStringLiteral("P") : QString::number(i + 1));
    kantoor::PublishedOrder order = classOrder(keys.join(u' '));
    for (int i = 0; i < lines.size(); ++i)
        order.lines[size_t(i)][column::Time] = lines[i].startsWith(u"P:") ? lines[i].mid(2) : lines[i];
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(order)));
    const ClassPlan& plan = station().classPace().plan();
    QCOMPARE(plan.interval.value_or(-1), interval);
    const int pauseRow = keys.indexOf(QStringLiteral("P")) + 1;
    QCOMPARE(pauseRow > 0 && plan.pauseLengths.contains(pauseRow) ? plan.pauseLengths.value(pauseRow) : -1, pause);
}

// The counts kept per version of the list give what one walk over it gives, through moves, marks and the
// ring moving on and back.
void TestRingPace::progressCountsEqualTheWalk()
{
    kantoor::PublishedOrder order = plannedClass(keys(60, QStringLiteral("30")));
    QVERIFY(m_kit->follow(kantoor::runningOrderBytes(order)));
    Station& s = station();
    std::srand(7);
    for (int step = 0; step < 200; ++step) {
        m_kit->clock.setNow(m_kit->clock.now().addSecs(60 + std::rand() % 120));
        switch (std::rand() % 5) {
        case 0:
        case 1:
            s.volgendeInDeRing();
            break;
        case 2:
            s.vorigeInDeRing();
            break;
        case 3:
            selectRow(s, 1 + std::rand() % (s.working().rows() - 1));
            s.wisselnietgestart();
            break;
        default:
            s.verplaatsNaar(1 + std::rand() % (s.working().rows() - 1), 1 + std::rand() % (s.working().rows() - 1));
            break;
        }
        const int ring = s.ringPointer().row();
        const ClassProgress walked
            = classProgress(s.working(), ring, s.classPace().plan(), s.classPace().pace(), m_kit->clock.now());
        QCOMPARE(s.classPace().progress(s.working(), ring, m_kit->clock.now()), walked);
    }
}

QTEST_GUILESS_MAIN(TestRingPace)
#include "tst_ringpace.moc"
