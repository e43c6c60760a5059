#include "appstate.h"
#include "columns.h"
#include "gridtable.h"
#include "knoppen.h"
#include "regels.h"
#include "runordermerge.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// A list of lines: key, office status (column 9) and mark (column 10) per line, below a header.
void fill(GridTable& grid, const QStringList& keys, const QStringList& statuses = {}, const QStringList& marks = {})
{
    grid.setCols(column::Count);
    grid.setRows(0);
    grid.addItem(QStringLiteral("key\tnr"));
    for (int i = 0; i < keys.size(); ++i) {
        QStringList fields(column::Count);
        fields[column::Key] = keys[i];
        fields[column::Position] = QString::number(i + 1);
        fields[column::Status] = statuses.value(i);
        fields[column::Mark] = marks.value(i);
        grid.addItem(fields.join(u'\t'));
    }
    grid.setFixedRows(1);
}

AppState permissions(int volgorde, int nietgestart)
{
    AppState state;
    state.editvolgorde = qint16(volgorde);
    state.editnietgestart = qint16(nietgestart);
    return state;
}

void checkAgreement(knoppen::SendRuleTracker& tracker, const GridTable& working, const GridTable& snapshot,
    const AppState& state, int step)
{
    const knoppen::SendRule full = knoppen::controleerwijzigingen(working, snapshot, state);
    const knoppen::SendRule tracked = tracker.evaluate(working, snapshot, state);
    if (full.enabled != tracked.enabled || full.orderChanged != tracked.orderChanged
        || full.markChanged != tracked.markChanged)
        QFAIL(qPrintable(QStringLiteral("step %1: full %2%3%4, tracked %5%6%7")
                             .arg(step)
                             .arg(full.enabled)
                             .arg(full.orderChanged)
                             .arg(full.markChanged)
                             .arg(tracked.enabled)
                             .arg(tracked.orderChanged)
                             .arg(tracked.markChanged)));
}

} // namespace

// The send-button rule: the full pass over the lines, and the tracker the window asks after every edit,
// which looks again only at the lines that changed and must always answer as the full pass does.
class TestSendRule : public QObject
{
    Q_OBJECT

private slots:
    void fullPass_data();
    void fullPass();
    void trackerAgreesWithFullPass_data();
    void trackerAgreesWithFullPass();
};

void TestSendRule::fullPass_data()
{
    QTest::addColumn<QStringList>("workingKeys");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<int>("volgorde");
    QTest::addColumn<int>("nietgestart");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("orderChanged");
    QTest::addColumn<bool>("markChanged");

    const QStringList file { "11", "12", "P", "13", "14" };
    QTest::newRow("as the file") << file << QStringList() << 1 << 1 << false << false << false;
    QTest::newRow("moved, may reorder") << QStringList { "12", "11", "P", "13", "14" } << QStringList() << 1 << 0
                                        << true << true << false;
    QTest::newRow("moved, may not reorder")
        << QStringList { "12", "11", "P", "13", "14" } << QStringList() << 0 << 1 << false << true << false;
    QTest::newRow("marked, may mark") << file << QStringList { "", "", "", "N" } << 0 << 1 << true << false << true;
    QTest::newRow("marked, may not mark")
        << file << QStringList { "", "", "", "N" } << 1 << 0 << false << false << true;
    // A changed mark the ring may not report does not hide a move below it that it may report.
    QTest::newRow("move below a changed mark")
        << QStringList { "11", "12", "P", "14", "13" } << QStringList { "N" } << 1 << 0 << true << true << true;
    QTest::newRow("move above a changed mark") << QStringList { "12", "11", "P", "13", "14" }
                                               << QStringList { "", "", "", "N" } << 1 << 0 << true << true << true;
    QTest::newRow("a line more than the file")
        << QStringList { "11", "12", "P", "13", "14", "15" } << QStringList() << 1 << 0 << true << true << false;
}

void TestSendRule::fullPass()
{
    QFETCH(QStringList, workingKeys);
    QFETCH(QStringList, marks);
    QFETCH(int, volgorde);
    QFETCH(int, nietgestart);
    QFETCH(bool, enabled);
    QFETCH(bool, orderChanged);
    QFETCH(bool, markChanged);
    GridTable snapshot;
    fill(snapshot, { "11", "12", "P", "13", "14" });
    GridTable working;
    fill(working, workingKeys, {}, marks);
    const AppState state = permissions(volgorde, nietgestart);
    const knoppen::SendRule rule = knoppen::controleerwijzigingen(working, snapshot, state);
    QCOMPARE(rule.enabled, enabled);
    QCOMPARE(rule.orderChanged, orderChanged);
    QCOMPARE(rule.markChanged, markChanged);
    knoppen::SendRuleTracker tracker;
    QCOMPARE(tracker.evaluate(working, snapshot, state).enabled, enabled);
}

void TestSendRule::trackerAgreesWithFullPass_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("lines");
    QTest::newRow("short list") << 11u << 12;
    QTest::newRow("longer list") << 12u << 200;
    QTest::newRow("longer list, other edits") << 13u << 200;
}

// Random edits as the ring and the office make them (moves, swaps, marks, a changed office status, a
// re-read merged or replacing the list, another snapshot), each followed by both rules.
void TestSendRule::trackerAgreesWithFullPass()
{
    QFETCH(quint32, seed);
    QFETCH(int, lines);
    QRandomGenerator random(seed);
    QStringList keys;
    QStringList statuses;
    for (int i = 0; i < lines; ++i) {
        keys << (i % 5 == 4 ? QStringLiteral("P") : QString::number(1000 + i));
        statuses << (i % 7 == 0 ? QStringLiteral("N") : QString());
    }
    GridTable working;
    GridTable snapshot;
    GridTable scratch;
    fill(working, keys, statuses);
    fill(snapshot, keys, statuses);
    knoppen::SendRuleTracker tracker;
    const AppState states[] = { permissions(1, 1), permissions(1, 0), permissions(0, 1) };

    for (int step = 0; step < 1500; ++step) {
        const int row = 1 + int(random.bounded(working.rows() - 1));
        switch (random.bounded(10)) {
        case 0:
        case 1:
            working.setRow(row);
            regels::verplaatsregel(working, random.bounded(2) ? regels::Richting::Omhoog : regels::Richting::Omlaag);
            break;
        case 2:
            regels::verwisselregels(working, row, 1 + int(random.bounded(working.rows() - 1)));
            break;
        case 3:
        case 4:
            working.setTextMatrix(row, column::Mark,
                working.textView(row, column::Mark) == notStartedMark ? QString() : QStringLiteral("N"));
            break;
        case 5:
            working.setTextMatrix(row, column::Status, random.bounded(2) ? QStringLiteral("N") : QStringLiteral("G"));
            break;
        case 6: {
            // The office's re-read: the same list with other statuses (merged), or a shorter or longer one
            // (replacing the ring's list and the snapshot).
            QStringList newKeys = keys;
            if (random.bounded(3) == 0)
                newKeys.removeAt(int(random.bounded(newKeys.size())));
            if (random.bounded(3) == 0)
                newKeys << QString::number(5000 + step);
            QStringList newStatuses;
            for (int i = 0; i < newKeys.size(); ++i)
                newStatuses << (random.bounded(6) == 0 ? QStringLiteral("N") : QString());
            fill(scratch, newKeys, newStatuses);
            if (runordermerge::listChanged(snapshot, scratch))
                runordermerge::replaceList(working, snapshot, scratch);
            else
                runordermerge::mergeList(working, scratch);
            break;
        }
        case 7:
            snapshot.setTextMatrix(row < snapshot.rows() ? row : 1, column::Key, QString::number(random.bounded(3)));
            break;
        case 8:
            if (random.bounded(8) == 0)
                fill(working, keys, statuses); // a forced read
            break;
        default: {
            // Asked about other grids in between: the answer for those, then again for these.
            const knoppen::SendRule other = tracker.evaluate(scratch, snapshot, states[0]);
            QCOMPARE(other.enabled, knoppen::controleerwijzigingen(scratch, snapshot, states[0]).enabled);
            break;
        }
        }
        checkAgreement(tracker, working, snapshot, states[random.bounded(3)], step);
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_GUILESS_MAIN(TestSendRule)
#include "tst_sendrule.moc"
