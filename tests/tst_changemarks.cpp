// What the views mark beside the ring's list, through the station object and real files: the office's changes
// (cells of a merged list, starters of a replacing one) for a minute by the station's clock, following the
// starter; and the rows the ring changed and has not sent, through moves, marks, undo, sends and the office's
// answers.
#include "changemarks.h"
#include "classfile.h"
#include "columns.h"
#include "stationfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using testsupport::classBytes;
using testsupport::classOrder;
using testsupport::selectRow;

namespace {

// What is marked as the office's: "key:column" for a changed cell, "key:*" for an added starter, sorted, so the
// same marks read the same wherever the ring has moved their starters.
QString officeMarks(const Station& station, const ChangeMarks& marks)
{
    QStringList found;
    const GridTable& grid = station.working();
    for (int r = 1; r < grid.rows(); ++r) {
        const QString key = grid.textMatrix(r, column::Key);
        if (marks.officeAdded(r)) {
            found << key + QStringLiteral(":*");
            continue;
        }
        for (int c = 1; c < grid.cols(); ++c) {
            if (marks.officeChanged(r, c))
                found << QStringLiteral("%1:%2").arg(key).arg(c);
        }
    }
    found.sort();
    return found.join(u' ');
}

// The keys of the rows marked as not sent, top to bottom.
QString unsentRows(const Station& station, const ChangeMarks& marks)
{
    QStringList found;
    for (int r = 1; r < station.working().rows(); ++r) {
        if (marks.unsent(r))
            found << station.working().textMatrix(r, column::Key);
    }
    return found.join(u' ');
}

// The class "1 2 3 4" as the office publishes it anew: in the given order, with starters it marks not
// started ("N" in its status) and texts it changes ("key:column=text").
QByteArray officeList(const QString& keys, const QStringList& notStarted = {}, const QStringList& cells = {})
{
    kantoor::PublishedOrder order = classOrder(keys);
    for (const QString& key : notStarted)
        testsupport::setCell(order, key, column::Status, QStringLiteral("N"));
    for (const QString& cell : cells) {
        const QString key = cell.section(u':', 0, 0);
        const int col = cell.section(u':', 1).section(u'=', 0, 0).toInt();
        testsupport::setCell(order, key, col, cell.section(u'=', 1));
    }
    return kantoor::runningOrderBytes(order);
}

} // namespace

class TestChangeMarks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void officeChanges_data();
    void officeChanges();
    void officeMarksLastAMinute();
    void unsent_data();
    void unsent();

private:
    std::unique_ptr<testsupport::StationFixture> m_kit;
};

void TestChangeMarks::init()
{
    m_kit = std::make_unique<testsupport::StationFixture>();
    QVERIFY(m_kit->isValid());
}

void TestChangeMarks::cleanup()
{
    m_kit.reset();
}

void TestChangeMarks::officeChanges_data()
{
    QTest::addColumn<QByteArray>("office"); // the office's next list of the class "1 2 3 4"
    QTest::addColumn<QString>("marked");

    const QString horse = QString::number(column::Horse);
    const QString time = QString::number(column::Time);
    QTest::newRow("a horse renamed: that cell, on the moved starter's row")
        << officeList("1 2 3 4", {}, { "2:" + horse + "=Quibus II" }) << "2:" + horse;
    QTest::newRow("a start time and a horse: both cells")
        << officeList("1 2 3 4", {}, { "3:" + time + "=10:47", "4:" + horse + "=Orlando Z" })
        << "3:" + time + " 4:" + horse;
    QTest::newRow("the office marks a starter not started: its status")
        << officeList("1 2 3 4", { "4" }) << "4:" + QString::number(column::Status);
    QTest::newRow("the same list again: nothing") << officeList("1 2 3 4") << "";
    QTest::newRow("a starter added: its row") << officeList("1 2 5 3 4") << "5:*";
    QTest::newRow("a starter withdrawn: nothing") << officeList("1 2 4") << "";
    QTest::newRow("the ring's order taken in: nothing") << officeList("2 1 3 4") << "";
}

void TestChangeMarks::officeChanges()
{
    QFETCH(QByteArray, office);
    QFETCH(QString, marked);
    Station& station = m_kit->makeStation();
    ChangeMarks marks(station);
    QVERIFY(m_kit->follow(classBytes("1 2 3 4")));
    // The class's first read is no news.
    QCOMPARE(officeMarks(station, marks), QString());
    selectRow(station, 1);
    station.verplaatsregel(regels::Richting::Omlaag);

    QSignalSpy changed(&marks, &ChangeMarks::changed);
    QVERIFY(m_kit->publish(office));
    station.Timer1_Timer();
    QCOMPARE(officeMarks(station, marks), marked);
    QCOMPARE(marks.hasOfficeChanges(), !marked.isEmpty());
    // The views repaint for every list but the same one saved again, which changes nothing on screen.
    QCOMPARE(changed.isEmpty(), office == officeList("1 2 3 4"));

    // The marks follow the starter when the ring moves it.
    const int row = station.working().rows() - 1;
    selectRow(station, row);
    station.verplaatsregel(regels::Richting::Omhoog);
    QCOMPARE(officeMarks(station, marks), marked);
}

void TestChangeMarks::officeMarksLastAMinute()
{
    Station& station = m_kit->makeStation();
    ChangeMarks marks(station);
    QVERIFY(m_kit->follow(classBytes("1 2 3 4")));
    const QString horse = QString::number(column::Horse);
    QVERIFY(m_kit->publish(officeList("1 2 3 4", {}, { "2:" + horse + "=Quibus II" })));
    station.Timer1_Timer();
    QCOMPARE(officeMarks(station, marks), "2:" + horse);
    auto* expiry = marks.findChild<QTimer*>(QStringLiteral("changeMarksExpiry"));
    QVERIFY(expiry && expiry->isActive());
    QVERIFY(expiry->remainingTime() > 59000);

    const QDateTime changedAt = m_kit->clock.now();
    m_kit->clock.setNow(changedAt.addSecs(ChangeMarks::markSeconds - 1));
    QCOMPARE(officeMarks(station, marks), "2:" + horse);
    // A minute on, by the station's clock, the mark is gone, also before its timer comes round; when it does, the
    // views hear of it and nothing is left to wait for.
    m_kit->clock.setNow(changedAt.addSecs(ChangeMarks::markSeconds));
    QCOMPARE(officeMarks(station, marks), QString());
    QSignalSpy changed(&marks, &ChangeMarks::changed);
    QVERIFY(QMetaObject::invokeMethod(expiry, "timeout"));
    QCOMPARE(changed.size(), 1);
    QVERIFY(!marks.hasOfficeChanges());
    QVERIFY(!expiry->isActive());

    // Another class opened: nothing of the last one stays marked.
    QVERIFY(m_kit->publish(officeList("1 2 3 4", {}, { "3:" + horse + "=Ultimo" })));
    station.Timer1_Timer();
    QVERIFY(marks.hasOfficeChanges());
    QVERIFY(m_kit->follow(classBytes("7 8 9"), QStringLiteral("0008")));
    QCOMPARE(officeMarks(station, marks), QString());
}

void TestChangeMarks::unsent_data()
{
    // What the ring and the office do, one step a line: "down R" moves row R down, "mark R" toggles NG on row R,
    // "undo", "send", "office K" publishes the office's list with keys K (K "N:key" marks the starter not started
    // at the office).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("unsent");

    QTest::newRow("nothing done") << QStringList {} << "";
    QTest::newRow("a move: both starters that changed places") << QStringList { "down 1" } << "2 1";
    QTest::newRow("a mark") << QStringList { "mark 3" } << "3";
    QTest::newRow("a move undone") << QStringList { "down 1", "undo" } << "";
    QTest::newRow("a mark taken back") << QStringList { "mark 3", "mark 3" } << "";
    QTest::newRow("a move, sent") << QStringList { "down 1", "send" } << "";
    QTest::newRow("sent, then a mark: only the mark") << QStringList { "down 1", "send", "mark 4" } << "4";
    QTest::newRow("sent, then the move undone: as the office's list, nothing to send")
        << QStringList { "down 1", "send", "undo" } << "";
    QTest::newRow("sent, then moved on: the rows that differ from what was sent")
        << QStringList { "down 1", "send", "down 2" } << "3 1";
    QTest::newRow("a move sent and taken in by the office") << QStringList { "down 1", "send", "office 2 1 3 4" } << "";
    QTest::newRow("a mark sent and taken in by the office") << QStringList { "mark 3", "send", "office N:3" } << "";
    QTest::newRow("a mark, the office renames a horse meanwhile: still unsent")
        << QStringList { "mark 3", "office 1 2 3 4" } << "3";
    QTest::newRow("a move, the office withdraws a starter: its list replaces the ring's")
        << QStringList { "down 1", "office 1 2 4" } << "";
}

void TestChangeMarks::unsent()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, unsent);
    Station& station = m_kit->makeStation();
    ChangeMarks marks(station);
    QVERIFY(m_kit->follow(classBytes("1 2 3 4")));

    QSignalSpy changed(&marks, &ChangeMarks::changed);
    for (const QString& step : steps) {
        const QString what = step.section(u' ', 0, 0);
        const QString rest = step.section(u' ', 1);
        if (what == u"down") {
            selectRow(station, rest.toInt());
            station.verplaatsregel(regels::Richting::Omlaag);
        } else if (what == u"mark") {
            selectRow(station, rest.toInt());
            station.wisselnietgestart();
        } else if (what == u"undo") {
            station.ongedaanMaken();
        } else if (what == u"send") {
            const qsizetype before = changed.size();
            QVERIFY(station.verzendmutatie().written);
            // The rows sent lose their marker at once.
            QVERIFY(changed.size() > before);
        } else if (what == u"office") {
            QStringList keys;
            QStringList notStarted;
            for (const QString& part : rest.split(u' ')) {
                if (part.startsWith(u"N:"))
                    notStarted << part.mid(2);
                else
                    keys << part;
            }
            const QString horse = QString::number(column::Horse) + QStringLiteral("=Quibus II");
            QVERIFY(m_kit->publish(officeList(keys.isEmpty() ? QStringLiteral("1 2 3 4") : keys.join(u' '), notStarted,
                { QStringLiteral("1:") + horse })));
            station.Timer1_Timer();
        }
    }
    QCOMPARE(unsentRows(station, marks), unsent);
    // Nothing unsent is nothing to send: the marker never says more than the send button does.
    if (!unsent.isEmpty())
        QVERIFY(station.buttons().verzenden);
}

QTEST_MAIN(TestChangeMarks)
#include "tst_changemarks.moc"
