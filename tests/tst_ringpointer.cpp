// The starter in the ring and what the rider board shows, through the station object without a display: the
// pointer through the official's moves, swaps and marks, the office's merged and replaced lists and Openen, and
// the board's lines worked out from them.
#include "boardcontent.h"
#include "boardfeed.h"
#include "classfile.h"
#include "columns.h"
#include "stationfixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using testsupport::classBytes;
using testsupport::selectRow;

namespace {

// The key of the starter in the ring, or "-" for none.
QString inTheRing(const Station& station)
{
    const int row = station.ringPointer().row();
    return row < 0 ? QStringLiteral("-") : station.working().textMatrix(row, column::Key);
}

// The board's lines as words: the three ("1 2 3", "-" for an empty place), then the lines below, a starter
// by its key, one not started as "~key", a pause as "P".
QString boardWords(const BoardContent& content)
{
    QStringList words;
    for (const std::optional<BoardStarter>& starter : content.top)
        words << (starter ? starter->rider.section(u' ', 1) : QStringLiteral("-"));
    words << QStringLiteral("|");
    for (const BoardLine& line : content.following) {
        switch (line.kind) {
        case BoardLine::Kind::Starter:
            words << line.starter.rider.section(u' ', 1);
            break;
        case BoardLine::Kind::NotStarted:
            words << u'~' + line.starter.rider.section(u' ', 1);
            break;
        case BoardLine::Kind::Pause:
            words << QStringLiteral("P");
            break;
        }
    }
    return words.join(u' ');
}

} // namespace

class TestRingPointer : public QObject
{
    Q_OBJECT

private slots:
    void pointer_data();
    void pointer();
    void board_data();
    void board();
    void feedFollowsTheListWithinASecond();
    void feedGreysAStaleList();
};

void TestRingPointer::pointer_data()
{
    // A class (keys, "P" a pause line), the official's and the office's steps, and then the starter in the ring
    // and its row. Steps: "next", "prev", "up R"/"down R" (the line on row R moved), "swap A B", "ng R" (marked
    // or unmarked), "undo", "office KEYS" (the office publishes that list and the station reads it), "horse K"
    // (the office renames starter K's horse: the same list, merged), "open" (Bestand > Openen, the same class).
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("ring");
    QTest::addColumn<int>("row");

    const QString cls = QStringLiteral("a b c P d e f");
    QTest::newRow("a class opens with its first starter in the ring") << cls << ""
                                                                      << "a" << 1;
    QTest::newRow("next steps over a pause line") << cls << "next, next, next"
                                                  << "d" << 5;
    QTest::newRow("next at the last starter stays") << cls << "next, next, next, next, next, next, next"
                                                    << "f" << 7;
    QTest::newRow("previous steps back over the pause") << cls << "next, next, next, prev"
                                                        << "c" << 3;
    QTest::newRow("previous at the first starter stays") << cls << "prev"
                                                         << "a" << 1;
    QTest::newRow("next and previous step over starters not started") << cls << "ng 2, ng 3, next, next, prev"
                                                                      << "d" << 5;
    QTest::newRow("the starter in the ring marked not started: the next one rides") << cls << "ng 1"
                                                                                    << "b" << 2;
    QTest::newRow("its mark taken back: it is in the ring again") << cls << "ng 1, ng 1"
                                                                  << "a" << 1;
    QTest::newRow("the pointer follows its starter down") << cls << "next, down 2, down 3"
                                                          << "b" << 5;
    QTest::newRow("and up") << cls << "next, next, next, up 5, up 3"
                            << "d" << 2;
    QTest::newRow("a move of another starter past it") << cls << "next, down 1"
                                                       << "b" << 1;
    QTest::newRow("a swap takes it along") << cls << "swap 1 6"
                                           << "a" << 6;
    QTest::newRow("an undone swap brings it back") << cls << "swap 1 6, undo"
                                                   << "a" << 1;
    QTest::newRow("a merged list keeps it") << cls << "next, next, horse c"
                                            << "c" << 3;
    QTest::newRow("a replaced list: the same starter, on its new row") << cls << "next, office c a b P d e f"
                                                                       << "b" << 3;
    QTest::newRow("a replaced list without it: the next one still in the list, wherever it stands")
        << cls << "next, office d e a c f"
        << "c" << 4;
    QTest::newRow("without it and the next: the first after them that is left") << cls << "next, office a P d e f"
                                                                                << "d" << 3;
    QTest::newRow("a replaced list with none of those after it: the one that stands where it stood")
        << cls << "next, next, next, next, next, office a b c"
        << "c" << 3;
    QTest::newRow("a moved and replaced list: it stays on the starter, not the row")
        << cls << "next, next, down 3, office a b d P c e f"
        << "c" << 5;
    QTest::newRow("Openen puts the first starter in the ring") << cls << "next, next, next, open"
                                                               << "a" << 1;
    QTest::newRow("a first starter not started: the class begins with the next") << "a b c"
                                                                                 << "ng 1, open"
                                                                                 << "b" << 2;
    QTest::newRow("the last one marked not started: nobody is in the ring") << "a b"
                                                                            << "next, ng 2"
                                                                            << "-" << -1;
}

void TestRingPointer::pointer()
{
    QFETCH(QString, keys);
    QFETCH(QString, steps);
    QFETCH(QString, ring);
    QFETCH(int, row);

    testsupport::StationFixture kit;
    QVERIFY(kit.isValid());
    Station& station = kit.makeStation();
    QVERIFY(kit.follow(classBytes(keys)));
    QSignalSpy changed(&station, &Station::ringChanged);
    for (const QString& step : steps.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const QStringList words = step.split(u' ');
        const QString what = words[0];
        const QString rest = step.section(u' ', 1);
        if (what == QLatin1String("next")) {
            station.volgendeInDeRing();
        } else if (what == QLatin1String("prev")) {
            station.vorigeInDeRing();
        } else if (what == QLatin1String("up") || what == QLatin1String("down")) {
            selectRow(station, words[1].toInt());
            station.verplaatsregel(what == QLatin1String("up") ? regels::Richting::Omhoog : regels::Richting::Omlaag);
        } else if (what == QLatin1String("swap")) {
            selectRow(station, words[1].toInt());
            station.addToSelection(words[2].toInt());
            station.wisselrijen();
        } else if (what == QLatin1String("ng")) {
            selectRow(station, words[1].toInt());
            station.wisselnietgestart();
        } else if (what == QLatin1String("undo")) {
            station.ongedaanMaken();
        } else if (what == QLatin1String("office")) {
            QVERIFY(kit.publish(classBytes(rest)));
            QCOMPARE(station.toonbestand(false), Station::ListChange::Replaced);
        } else if (what == QLatin1String("horse")) {
            kantoor::PublishedOrder order = testsupport::classOrder(testsupport::keysOf(station.snapshot()));
            QVERIFY(testsupport::setCell(order, rest, column::Horse, QStringLiteral("Quibus")));
            QVERIFY(kit.publish(kantoor::runningOrderBytes(order)));
            QCOMPARE(station.toonbestand(false), Station::ListChange::Merged);
        } else if (what == QLatin1String("open")) {
            station.beginOpen();
            station.finishOpen(kit.classPath());
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    QCOMPARE(inTheRing(station), ring);
    QCOMPARE(station.ringPointer().row(), row);
    // The views heard of the row it ended on.
    if (!changed.isEmpty())
        QCOMPARE(changed.constLast().constFirst().toInt(), row);
}

void TestRingPointer::board_data()
{
    // A class (keys; "P" a pause line, a key with "~" before it a starter marked not started), the row in the
    // ring, and what the board shows (see boardWords).
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("ring");
    QTest::addColumn<QString>("shown");

    QTest::newRow("the three, then the next eight")
        << "1 2 3 4 5 6 7 8 9 10 11 12 13" << 1 << "1 2 3 | 4 5 6 7 8 9 10 11";
    QTest::newRow("not started: left out of the three, struck through below, in the list's order")
        << "1 ~2 3 4 ~5 6" << 1 << "1 3 4 | ~2 ~5 6";
    QTest::newRow("a pause among the three and below") << "1 P 2 3 4 P 5" << 1 << "1 2 3 | P 4 P 5";
    QTest::newRow("only what follows the starter in the ring") << "1 2 3 4 5" << 3 << "3 4 5 |";
    QTest::newRow("the last starter alone") << "1 2 P" << 2 << "2 - - | P";
    QTest::newRow("struck-through lines and pauses count to twelve lines")
        << "1 2 3 ~4 ~5 ~6 ~7 ~8 ~9 ~10 P 11 12 13 14 15 16" << 1 << "1 2 3 | ~4 ~5 ~6 ~7 ~8 ~9 ~10 P 11 12 13 14";
    QTest::newRow("no starter in the ring: nothing") << "1 2" << -1 << "- - - |";
    QTest::newRow("a row that does not ride is no ring") << "P 1" << 1 << "- - - |";
}

void TestRingPointer::board()
{
    QFETCH(QString, keys);
    QFETCH(int, ring);
    QFETCH(QString, shown);

    QStringList plain;
    QList<int> struck;
    for (const QString& key : keys.split(u' ')) {
        if (key.startsWith(u'~'))
            struck << plain.size() + 1;
        plain << QString(key).remove(u'~');
    }
    kantoor::PublishedOrder order = testsupport::classOrder(plain.join(u' '));
    for (int row : struck)
        order.lines[size_t(row - 1)][column::Mark] = QStringLiteral("N");
    GridTable grid;
    grid.setCols(column::Count);
    grid.setRows(1);
    grid.setFixedRows(1);
    std::vector<QStringList> rows { order.header };
    rows.insert(rows.end(), order.lines.begin(), order.lines.end());
    QVERIFY(grid.setAllRows(rows));

    const BoardContent content = boardContent(grid, ring);
    QCOMPARE(boardWords(content), shown);
    // Each starter with its number, horse and planned time, as the list has them.
    for (const BoardLine& line : content.following) {
        if (line.kind != BoardLine::Kind::Pause)
            QCOMPARE(line.starter.horse, QStringLiteral("Paard ") + line.starter.rider.section(u' ', 1));
    }
}

void TestRingPointer::feedFollowsTheListWithinASecond()
{
    testsupport::StationFixture kit;
    Station& station = kit.makeStation();
    QVERIFY(kit.follow(classBytes(QStringLiteral("a b c d e"))));
    BoardFeed feed(station);
    QCOMPARE(boardWords(feed.content()), QStringLiteral("a b c | d e"));
    QCOMPARE(feed.content().titel, QStringLiteral("Springen klasse M"));

    // A held move: a line at every step, the board once they are done, within the second.
    QSignalSpy changed(&feed, &BoardFeed::contentChanged);
    selectRow(station, 2);
    station.pressMove(regels::Richting::Omlaag);
    station.TimerRegelsVerplaatsen_Timer();
    station.releaseMove();
    QVERIFY(feed.isPending());
    QTRY_COMPARE_WITH_TIMEOUT(boardWords(feed.content()), QStringLiteral("a c d | b e"), 1000);
    QCOMPARE(changed.size(), 1);
    // A mark, the ring pointer, the office's new list: each reaches it too.
    selectRow(station, 2);
    station.wisselnietgestart();
    QTRY_COMPARE_WITH_TIMEOUT(boardWords(feed.content()), QStringLiteral("a d b | ~c e"), 1000);
    station.volgendeInDeRing();
    QTRY_COMPARE_WITH_TIMEOUT(boardWords(feed.content()), QStringLiteral("d b e |"), 1000);
    QVERIFY(kit.publish(classBytes(QStringLiteral("e d a b c"))));
    station.toonbestand(false);
    QTRY_COMPARE_WITH_TIMEOUT(boardWords(feed.content()), QStringLiteral("d a b | c"), 1000);
}

void TestRingPointer::feedGreysAStaleList()
{
    testsupport::StationFixture kit;
    Station& station = kit.makeStation();
    QVERIFY(kit.follow(classBytes(QStringLiteral("a b c"))));
    BoardFeed feed(station);
    QVERIFY(!feed.content().stale);

    QVERIFY(QFile::remove(kit.classPath()));
    station.toonbestand(false);
    QCOMPARE(station.listState(), ListState::Stale);
    QTRY_VERIFY_WITH_TIMEOUT(feed.content().stale, 1000);
    QCOMPARE(feed.content().since, station.status().since);
    QVERIFY(feed.content().since.isValid());
    // The last list stays readable, and the pointer still moves over it: the class goes on.
    QCOMPARE(boardWords(feed.content()), QStringLiteral("a b c |"));
    station.volgendeInDeRing();
    QTRY_COMPARE_WITH_TIMEOUT(boardWords(feed.content()), QStringLiteral("b c - |"), 1000);
}

QTEST_GUILESS_MAIN(TestRingPointer)
#include "tst_ringpointer.moc"
