#include "gridtable.h"
#include "runordermerge.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>

namespace {

// The merge of an unchanged list entry by entry, the selection left in place. Quadratic when keys
// repeat; kept here as the reference the fast merge must match.
void literalMerge(GridTable& working, const GridTable& scratch)
{
    for (int i = 1; i < scratch.rows(); ++i) {
        const QString key = scratch.textMatrix(i, 0);
        if (key == "P" || key == "0")
            continue;
        for (int k = 1; k < working.rows(); ++k) {
            if (working.textMatrix(k, 0) != key)
                continue;
            for (int c = 0; c < scratch.cols(); ++c) {
                if (c != 1 && c != 10)
                    working.setTextMatrix(k, c, scratch.textMatrix(i, c));
            }
        }
    }
}

void makeGrid(GridTable& grid, const QStringList& keys, const QString& tag)
{
    grid.setCols(11);
    grid.setRows(0);
    grid.addItem(QStringLiteral("key\tnr\tnaam"));
    for (int r = 0; r < keys.size(); ++r) {
        QStringList fields;
        for (int c = 0; c < 11; ++c)
            fields << (c == 0 ? keys[r] : QStringLiteral("%1-%2-%3").arg(tag).arg(r).arg(c));
        grid.addItem(fields.join('\t'));
    }
    grid.setFixedRows(1);
}

QStringList randomKeys(QRandomGenerator& random, int count, int distinct)
{
    QStringList keys;
    for (int i = 0; i < count; ++i) {
        const int pick = int(random.bounded(distinct + 2));
        if (pick == distinct)
            keys << "P";
        else if (pick == distinct + 1)
            keys << "0";
        else
            keys << QString::number(100 + pick);
    }
    return keys;
}

void compareGrids(const GridTable& a, const GridTable& b)
{
    QCOMPARE(a.rows(), b.rows());
    for (int r = 0; r < a.rows(); ++r) {
        QCOMPARE(a.rowData(r), b.rowData(r));
        for (int c = 0; c < a.cols(); ++c)
            QCOMPARE(a.textMatrix(r, c), b.textMatrix(r, c));
    }
}

} // namespace

// Comparing a periodic read with the snapshot, and bringing it into the ring's list.
class TestRunOrderMerge : public QObject
{
    Q_OBJECT

private slots:
    void listChanged_data();
    void listChanged();
    void replaceKeepsHeaderAndRowData();
    void replacedSelectionFollowsTheStarters_data();
    void replacedSelectionFollowsTheStarters();
    void mergeKeepsRingColumns();
    void mergeKeepsTheSelectionOnItsRows();
    void mergeMatchesTheLiteralMerge_data();
    void mergeMatchesTheLiteralMerge();
    void mergeOnAWholeListOfOneKey();
    void modelStaysConsistent();
};

void TestRunOrderMerge::listChanged_data()
{
    QTest::addColumn<QStringList>("snapshotKeys");
    QTest::addColumn<QStringList>("scratchKeys");
    QTest::addColumn<bool>("changeColumn1");
    QTest::addColumn<bool>("changed");

    const QStringList abc { "1", "2", "3" };
    QTest::newRow("same list") << abc << abc << false << false;
    QTest::newRow("a key differs") << abc << QStringList { "1", "9", "3" } << false << true;
    QTest::newRow("a position differs") << abc << abc << true << true;
    QTest::newRow("a starter inserted") << abc << QStringList { "1", "2", "4", "3" } << false << true;
    QTest::newRow("last starter removed") << abc << QStringList { "1", "2" } << false << true;
    QTest::newRow("all starters removed") << abc << QStringList {} << false << true;
}

void TestRunOrderMerge::listChanged()
{
    QFETCH(QStringList, snapshotKeys);
    QFETCH(QStringList, scratchKeys);
    QFETCH(bool, changeColumn1);
    GridTable snapshot;
    GridTable scratch;
    makeGrid(snapshot, snapshotKeys, "a");
    makeGrid(scratch, scratchKeys, "a");
    if (changeColumn1)
        scratch.setTextMatrix(2, 1, "anders");
    QTEST(runordermerge::listChanged(snapshot, scratch), "changed");
}

void TestRunOrderMerge::replaceKeepsHeaderAndRowData()
{
    GridTable working;
    GridTable snapshot;
    GridTable scratch;
    makeGrid(working, { "1", "2", "3" }, "ring");
    makeGrid(snapshot, { "1", "2", "3" }, "old");
    makeGrid(scratch, { "1", "5", "2", "3" }, "new");
    scratch.setTextMatrix(0, 2, "new header");
    working.setRowData(2, 1);
    runordermerge::replaceList(working, snapshot, scratch);
    QCOMPARE(working.rows(), 5);
    QCOMPARE(snapshot.rows(), 5);
    QCOMPARE(working.textMatrix(2, 0), QString("5"));
    QCOMPARE(working.textMatrix(4, 10), QString("new-3-10"));
    QCOMPARE(snapshot.textMatrix(4, 10), QString("new-3-10"));
    QCOMPARE(working.textMatrix(0, 2), QString("naam"));
    // The selected starter 2 stands one row lower now, and stays selected there.
    QCOMPARE(working.rowData(2), 0);
    QCOMPARE(working.rowData(3), 1);
    QVERIFY(working.redraw());
}

void TestRunOrderMerge::replacedSelectionFollowsTheStarters_data()
{
    QTest::addColumn<QStringList>("ring");
    QTest::addColumn<QList<int>>("selectedRows");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QStringList>("office");
    QTest::addColumn<QList<int>>("selectedAfter");
    QTest::addColumn<int>("currentAfter");

    QTest::newRow("a starter withdrawn above the selected one: NG acts on the same starter")
        << QStringList { "1", "2", "3", "4" } << QList<int> { 3 } << 3 << QStringList { "2", "3", "4" }
        << QList<int> { 2 } << 2;
    QTest::newRow("two selected for a swap, the office reorders: both follow")
        << QStringList { "1", "2", "3", "4" } << QList<int> { 1, 4 } << 4 << QStringList { "4", "3", "2", "1" }
        << QList<int> { 1, 4 } << 1;
    QTest::newRow("the selected starter withdrawn: no selection left behind, the current row stays")
        << QStringList { "1", "2", "3" } << QList<int> { 2 } << 2 << QStringList { "1", "3", "5" } << QList<int> {}
        << 2;
    QTest::newRow("a selected pause line is not followed") << QStringList { "1", "P", "2" } << QList<int> { 2 } << 1
                                                           << QStringList { "P", "1", "2" } << QList<int> {} << 2;
}

void TestRunOrderMerge::replacedSelectionFollowsTheStarters()
{
    QFETCH(QStringList, ring);
    QFETCH(QList<int>, selectedRows);
    QFETCH(int, currentRow);
    QFETCH(QStringList, office);
    GridTable working;
    GridTable snapshot;
    GridTable scratch;
    makeGrid(working, ring, "ring");
    makeGrid(snapshot, ring, "old");
    makeGrid(scratch, office, "new");
    for (int row : selectedRows)
        working.setRowData(row, 1);
    working.setRow(currentRow);
    runordermerge::replaceList(working, snapshot, scratch);
    QList<int> selected;
    for (int r = 1; r < working.rows(); ++r) {
        if (working.rowData(r) == 1)
            selected << r;
    }
    QTEST(selected, "selectedAfter");
    QTEST(working.row(), "currentAfter");
    QCOMPARE(working.rowSel(), working.row());
}

void TestRunOrderMerge::mergeKeepsRingColumns()
{
    GridTable working;
    GridTable scratch;
    // The ring swapped the first two starters and marked one not started.
    makeGrid(working, { "2", "1", "3" }, "ring");
    working.setTextMatrix(1, 10, "N");
    makeGrid(scratch, { "1", "2", "3" }, "office");
    runordermerge::mergeList(working, scratch);
    QCOMPARE(working.textMatrix(1, 0), QString("2"));
    QCOMPARE(working.textMatrix(1, 3), QString("office-1-3")); // starter 2's new text at its ring position
    QCOMPARE(working.textMatrix(1, 1), QString("ring-0-1")); // the position stays the ring's
    QCOMPARE(working.textMatrix(1, 10), QString("N")); // and so does the mark
    QCOMPARE(working.textMatrix(2, 9), QString("office-0-9"));
}

void TestRunOrderMerge::mergeKeepsTheSelectionOnItsRows()
{
    // The ring moved starter 3 to the top and selected it and starter 1; the office saves the same
    // order again. The selection must stay on the rows that show those starters.
    GridTable working;
    GridTable scratch;
    makeGrid(working, { "3", "1", "2", "4" }, "ring");
    working.setRowData(1, 1);
    working.setRowData(2, 1);
    makeGrid(scratch, { "1", "2", "3", "4" }, "office");
    runordermerge::mergeList(working, scratch);
    const QList<qint32> flags { working.rowData(1), working.rowData(2), working.rowData(3), working.rowData(4) };
    QCOMPARE(flags, (QList<qint32> { 1, 1, 0, 0 }));
    QCOMPARE(working.textMatrix(1, 0), QString("3"));
    QCOMPARE(working.textMatrix(2, 0), QString("1"));
}

void TestRunOrderMerge::mergeMatchesTheLiteralMerge_data()
{
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("workingCount");
    QTest::addColumn<int>("scratchCount");
    QTest::addColumn<int>("distinct");

    for (int seed = 1; seed <= 40; ++seed) {
        const int distinct = seed % 4 == 0 ? 2 : seed % 4 == 1 ? 5 : seed % 4 == 2 ? 20 : 200;
        const int workingCount = 5 + seed * 3;
        const int scratchCount = seed % 3 == 0 ? workingCount : seed % 3 == 1 ? workingCount - 4 : workingCount + 6;
        QTest::addRow("seed %d, %d keys, %d/%d lines", seed, distinct, workingCount, scratchCount)
            << seed << workingCount << scratchCount << distinct;
    }
}

void TestRunOrderMerge::mergeMatchesTheLiteralMerge()
{
    QFETCH(int, seed);
    QFETCH(int, workingCount);
    QFETCH(int, scratchCount);
    QFETCH(int, distinct);
    QRandomGenerator random { quint32(seed) };
    const QStringList workingKeys = randomKeys(random, workingCount, distinct);
    const QStringList scratchKeys = randomKeys(random, scratchCount, distinct);
    GridTable scratch;
    makeGrid(scratch, scratchKeys, "office");
    GridTable fast;
    GridTable literal;
    makeGrid(fast, workingKeys, "ring");
    makeGrid(literal, workingKeys, "ring");
    for (int r = 0; r < fast.rows(); ++r) {
        // Selection marks, and other values a row can hold.
        const qint32 value = qint32(random.bounded(4)) == 0 ? qint32(r * 7 + 3) : qint32(random.bounded(2));
        fast.setRowData(r, value);
        literal.setRowData(r, value);
    }
    runordermerge::mergeList(fast, scratch);
    literalMerge(literal, scratch);
    compareGrids(fast, literal);
}

void TestRunOrderMerge::mergeOnAWholeListOfOneKey()
{
    // The literal merge would make a billion exchanges here; the fast one must still give its result.
    const int count = 32767;
    QStringList keys;
    for (int i = 0; i < count; ++i)
        keys << "7";
    GridTable working;
    GridTable scratch;
    makeGrid(working, keys, "ring");
    makeGrid(scratch, keys, "office");
    for (int r = 1; r <= count; ++r)
        working.setRowData(r, r);
    runordermerge::mergeList(working, scratch);
    // Every line holds the last line of the new list, apart from the ring's columns.
    QCOMPARE(working.textMatrix(1, 3), QString("office-%1-3").arg(count - 1));
    QCOMPARE(working.textMatrix(1, 1), QString("ring-0-1"));
    // The selection stays on the rows it was on.
    for (int r = 1; r <= count; ++r)
        QCOMPARE(working.rowData(r), r);
}

void TestRunOrderMerge::modelStaysConsistent()
{
    GridTable working;
    GridTable snapshot;
    GridTable scratch;
    QAbstractItemModelTester tester(&working, QAbstractItemModelTester::FailureReportingMode::QtTest);
    makeGrid(working, { "1", "2" }, "ring");
    makeGrid(snapshot, { "1", "2" }, "ring");
    makeGrid(scratch, { "1", "2", "3", "4" }, "office");
    runordermerge::replaceList(working, snapshot, scratch);
    makeGrid(scratch, { "1" }, "office");
    runordermerge::replaceList(working, snapshot, scratch);
    runordermerge::mergeList(working, scratch);
    QCOMPARE(working.rowCount(), 2);
}

QTEST_GUILESS_MAIN(TestRunOrderMerge)
#include "tst_runordermerge.moc"
