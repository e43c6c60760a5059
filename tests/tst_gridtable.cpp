#include "gridtable.h"
#include "keyindex.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <set>
#include <vector>

namespace {

// The cell texts a grid must hold, kept the plain way: a list of rows of cells.
struct Model
{
    int cols = 0;
    std::vector<std::vector<QString>> rows;

    void addItem(const QString& text)
    {
        const QStringList fields = text.split(u'\t');
        std::vector<QString> row(static_cast<size_t>(cols));
        for (int c = 0; c < cols && c < fields.size(); ++c)
            row[size_t(c)] = fields[c];
        rows.push_back(row);
    }
    void setRows(int n) { rows.resize(size_t(n), std::vector<QString>(size_t(cols))); }
    void setCols(int n)
    {
        cols = n;
        for (auto& row : rows)
            row.resize(size_t(n));
    }
};

QString randomText(QRandomGenerator& random)
{
    static const QString pieces[] = { "", "", "P", "N", "12", "Jan de Vries", QString::fromUtf8("Müller"),
        QString::fromUtf8("€ š"), "a:b", " spaced ", "10:32" };
    return pieces[random.bounded(int(std::size(pieces)))];
}

QString randomLine(QRandomGenerator& random, int cols)
{
    QStringList fields;
    const int count = int(random.bounded(cols + 3));
    for (int i = 0; i < count; ++i)
        fields << randomText(random);
    return fields.join(u'\t');
}

void compareWithModel(const GridTable& grid, const Model& model)
{
    QCOMPARE(grid.rows(), int(model.rows.size()));
    QCOMPARE(grid.cols(), model.cols);
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            const QString& expected = model.rows[size_t(r)][size_t(c)];
            QCOMPARE(grid.textMatrix(r, c), expected);
            QCOMPARE(grid.textView(r, c).toString(), expected);
        }
    }
    // Outside the grid: nothing, as the grid control refused it.
    QCOMPARE(grid.textView(grid.rows(), 0).size(), qsizetype(0));
    QCOMPARE(grid.textMatrix(0, grid.cols()), QString());
}

// The rows a grid reports changed since a version; {-1} when it cannot tell.
QList<int> changedRows(const GridTable& grid, quint64 version)
{
    const std::optional<std::vector<int>> rows = grid.rowsChangedSince(version);
    return rows ? QList<int>(rows->begin(), rows->end()) : QList<int> { -1 };
}

std::set<int> rowsThatDiffer(const Model& before, const Model& after)
{
    std::set<int> rows;
    for (size_t r = 0; r < after.rows.size(); ++r) {
        if (r >= before.rows.size() || before.rows[r] != after.rows[r])
            rows.insert(int(r));
    }
    return rows;
}

} // namespace

// The grid data the loader, the merge and the edits work on: cell texts kept per row, shared between
// grids, read without copies; the logs of changed rows that the selection repaint and the send rule follow.
class TestGridTable : public QObject
{
    Q_OBJECT

private slots:
    void textsFollowEveryEdit_data();
    void textsFollowEveryEdit();
    void wholeRowCopySharesItsTexts();
    void copiedTextOutlivesTheRow();
    void changedRowsLogOverflows();
    void rowsToRepaint_data();
    void rowsToRepaint();
    void positionReportedOnlyWhenMoved_data();
    void positionReportedOnlyWhenMoved();
    void keyIndexFindsWhatAScanFinds_data();
    void keyIndexFindsWhatAScanFinds();
};

void TestGridTable::textsFollowEveryEdit_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("cols");
    QTest::newRow("eleven columns") << 1u << 11;
    QTest::newRow("eleven columns, other edits") << 2u << 11;
    QTest::newRow("three columns") << 3u << 3;
    QTest::newRow("one column") << 4u << 1;
}

// Random edits on two grids, copies between them included, each checked against the plain model; and after
// each edit, the rows the text log reports are exactly the rows whose texts changed.
void TestGridTable::textsFollowEveryEdit()
{
    QFETCH(quint32, seed);
    QFETCH(int, cols);
    QRandomGenerator random(seed);
    GridTable grids[2];
    Model models[2];
    QAbstractItemModelTester tester(&grids[0], QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int g = 0; g < 2; ++g) {
        grids[g].setCols(cols);
        models[g].cols = cols;
    }

    for (int step = 0; step < 3000; ++step) {
        const int g = int(random.bounded(2));
        GridTable& grid = grids[g];
        Model& model = models[g];
        const Model before = model;
        const quint64 version = grid.textVersion();
        const int rows = grid.rows();
        const auto anyRow = [&] { return int(random.bounded(std::max(1, rows))); };
        bool reshaped = false;
        switch (random.bounded(rows < 5 ? 2 : 20)) {
        case 0: {
            const QString line = randomLine(random, grid.cols());
            QVERIFY(grid.addItem(line));
            model.addItem(line);
            reshaped = true;
            break;
        }
        case 1: {
            if (random.bounded(2) && grids[1 - g].rows() < 40) {
                // The other grid's rows, texts shared, as the snapshot takes the ring's list.
                const Model other = models[1 - g];
                QCOMPARE(grid.addRowsOf(grids[1 - g]), int(other.rows.size()));
                for (std::vector<QString> row : other.rows) {
                    row.resize(size_t(model.cols));
                    model.rows.push_back(row);
                }
                reshaped = !other.rows.empty();
                break;
            }
            std::vector<QString> lines { randomLine(random, grid.cols()), randomLine(random, grid.cols()) };
            QCOMPARE(grid.addItems(lines), 2);
            model.addItem(lines[0]);
            model.addItem(lines[1]);
            reshaped = true;
            break;
        }
        case 2: {
            const int n = int(random.bounded(rows + 3));
            grid.setRows(n);
            model.setRows(n);
            reshaped = n != rows;
            break;
        }
        case 3: {
            if (random.bounded(4) != 0)
                break; // columns change seldom: keep some rows to edit
            const int n = 1 + int(random.bounded(13));
            grid.setCols(n);
            model.setCols(n);
            reshaped = n != before.cols;
            break;
        }
        case 4:
        case 5:
        case 6:
        case 7: {
            const int r = anyRow();
            const int c = int(random.bounded(grid.cols()));
            const QString text = randomText(random);
            QVERIFY(grid.setTextMatrix(r, c, text));
            model.rows[size_t(r)][size_t(c)] = text;
            break;
        }
        case 8:
        case 9:
        case 10: {
            const int a = anyRow();
            const int b = anyRow();
            const int c = int(random.bounded(grid.cols()));
            QVERIFY(grid.exchangeTexts(a, b, c));
            std::swap(model.rows[size_t(a)][size_t(c)], model.rows[size_t(b)][size_t(c)]);
            break;
        }
        default: {
            // From the other grid or from this one; all columns, or all but some.
            const int from = random.bounded(3) == 0 ? g : 1 - g;
            if (grids[from].rows() == 0)
                break;
            const int r = anyRow();
            const int sourceRow = int(random.bounded(grids[from].rows()));
            quint64 columns = GridTable::allColumns;
            if (random.bounded(2))
                columns &= ~(quint64(1) << 1) & ~(quint64(1) << 10);
            if (random.bounded(4) == 0)
                columns = random.generate64();
            const Model source = models[from];
            QVERIFY(grid.copyTexts(r, grids[from], sourceRow, columns));
            for (int c = 0; c < std::min(model.cols, source.cols); ++c) {
                if (columns >> c & 1)
                    model.rows[size_t(r)][size_t(c)] = source.rows[size_t(sourceRow)][size_t(c)];
            }
            break;
        }
        }
        compareWithModel(grid, model);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));

        const std::optional<std::vector<int>> changed = grid.rowsChangedSince(version);
        if (reshaped) {
            QVERIFY(!changed);
        } else {
            QVERIFY(changed);
            const std::set<int> expected = rowsThatDiffer(before, model);
            QCOMPARE(std::set<int>(changed->begin(), changed->end()), expected);
            QVERIFY(std::is_sorted(changed->begin(), changed->end()));
        }
    }
    QVERIFY(!grids[0].copyTexts(grids[0].rows(), grids[1], 0, GridTable::allColumns));
    QVERIFY(!grids[0].exchangeTexts(0, grids[0].rows(), 0));
}

void TestGridTable::wholeRowCopySharesItsTexts()
{
    GridTable office;
    office.setCols(11);
    office.addItem(QStringLiteral("1001\t1\t7\tJan de Vries\tWervelwind"));
    GridTable ring;
    ring.setCols(11);
    ring.addItem(QStringLiteral("1001\t1\t7\tJan de Vries\tQuick Star"));
    // The ring's own columns agree: the row becomes the office's row whole, its texts not copied.
    QVERIFY(ring.copyTexts(0, office, 0, GridTable::allColumns & ~(quint64(1) << 1) & ~(quint64(1) << 10)));
    QCOMPARE(ring.textMatrix(0, 4), QStringLiteral("Wervelwind"));
    QCOMPARE(ring.textView(0, 3).data(), office.textView(0, 3).data());
    // A ring column of its own: the texts are put together anew.
    ring.setTextMatrix(0, 10, QStringLiteral("N"));
    office.setTextMatrix(0, 4, QStringLiteral("Cor de Chasse Z"));
    QVERIFY(ring.copyTexts(0, office, 0, GridTable::allColumns & ~(quint64(1) << 10)));
    QCOMPARE(ring.textMatrix(0, 4), QStringLiteral("Cor de Chasse Z"));
    QCOMPARE(ring.textMatrix(0, 10), QStringLiteral("N"));
    QVERIFY(ring.textView(0, 3).data() != office.textView(0, 3).data());
}

void TestGridTable::copiedTextOutlivesTheRow()
{
    GridTable grid;
    grid.setCols(3);
    grid.addItem(QStringLiteral("a\tbb\tccc"));
    const QString kept = grid.textMatrix(0, 1);
    grid.setTextMatrix(0, 1, QStringLiteral("x"));
    grid.setRows(0);
    QCOMPARE(kept, QStringLiteral("bb"));
}

void TestGridTable::changedRowsLogOverflows()
{
    GridTable grid;
    grid.setCols(2);
    for (int r = 0; r < 10; ++r)
        grid.addItem(QString::number(r));
    const quint64 start = grid.textVersion();
    QCOMPARE(changedRows(grid, start), QList<int>());
    // More changes than the log keeps: the grid cannot tell which rows, so every row is looked at.
    for (int i = 0; i < 5000; ++i)
        grid.setTextMatrix(i % 10, 1, QString::number(i));
    QVERIFY(!grid.rowsChangedSince(start));
    const quint64 later = grid.textVersion();
    grid.setTextMatrix(3, 0, QStringLiteral("x"));
    QCOMPARE(changedRows(grid, later), QList<int> { 3 });
    QCOMPARE(changedRows(grid, grid.textVersion()), QList<int>());
}

void TestGridTable::rowsToRepaint_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("nothing") << 0 << false << QList<int>();
    QTest::newRow("a flag set to what it was") << 1 << false << QList<int>();
    QTest::newRow("two flags changed") << 2 << false << QList<int> { 3, 7 };
    QTest::newRow("a cell's back colour") << 3 << false << QList<int> { 5 };
    QTest::newRow("a row's colours") << 4 << false << QList<int> { 8 };
    QTest::newRow("rows added") << 5 << false << QList<int> { 10, 11 };
    QTest::newRow("fixed rows changed") << 6 << true << QList<int>();
    QTest::newRow("fixed columns changed") << 7 << true << QList<int>();
    QTest::newRow("columns changed") << 8 << true << QList<int>();
    QTest::newRow("many flags changed") << 9 << true << QList<int>();
    QTest::newRow("a row changed, then removed") << 10 << false << QList<int> { 2 };
}

void TestGridTable::rowsToRepaint()
{
    QFETCH(int, change);
    QFETCH(bool, all);
    QFETCH(QList<int>, rows);
    GridTable grid;
    grid.setCols(4);
    for (int r = 0; r < (change == 9 ? 6000 : 10); ++r)
        grid.addItem(QString::number(r));
    grid.setFixedRows(1);
    QVERIFY(grid.takeRowsToRepaint().all); // a new grid was never painted
    switch (change) {
    case 1:
        grid.setRowData(4, 0);
        break;
    case 2:
        grid.setRowData(7, 1);
        grid.setRowData(3, 1);
        grid.setRowData(7, 2);
        break;
    case 3:
        grid.setRow(5);
        grid.setCol(0);
        grid.setCellBackColor(0x00C0FFC0);
        break;
    case 4:
        grid.setRowColours(8, 0, 0x00C0FFC0, 0x00010101);
        break;
    case 5:
        grid.addItem(QStringLiteral("x"));
        grid.addItem(QStringLiteral("y"));
        break;
    case 6:
        grid.setFixedRows(0);
        break;
    case 7:
        grid.setFixedCols(1);
        break;
    case 8:
        grid.setCols(5);
        break;
    case 9:
        for (int r = 1; r < grid.rows(); ++r)
            grid.setRowData(r, 1);
        break;
    case 10:
        grid.setRowData(9, 1);
        grid.setRowData(2, 1);
        grid.setRows(5);
        break;
    default:
        break;
    }
    const GridTable::RowsToRepaint taken = grid.takeRowsToRepaint();
    QCOMPARE(taken.all, all);
    if (!all)
        QCOMPARE(QList<int>(taken.rows.begin(), taken.rows.end()), rows);
    const GridTable::RowsToRepaint again = grid.takeRowsToRepaint();
    QVERIFY(!again.all);
    QVERIFY(again.rows.empty());
}

void TestGridTable::positionReportedOnlyWhenMoved_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("reports");
    QTest::newRow("the current row set again") << 0 << 0;
    QTest::newRow("moved and put back while drawing is off") << 1 << 0;
    QTest::newRow("moved while drawing is off") << 2 << 1;
    QTest::newRow("moved") << 3 << 1;
    QTest::newRow("scrolled to where it is") << 4 << 0;
}

void TestGridTable::positionReportedOnlyWhenMoved()
{
    QFETCH(int, action);
    QFETCH(int, reports);
    GridTable grid;
    grid.setCols(3);
    for (int r = 0; r < 40; ++r)
        grid.addItem(QString::number(r));
    grid.setFixedRows(1);
    grid.setPageRows(10);
    grid.setRow(5);
    grid.setTopRow(3);
    QSignalSpy spy(&grid, &GridTable::positionChanged);
    switch (action) {
    case 0:
        grid.setRow(5);
        grid.setCol(0);
        break;
    case 1:
        grid.setRedraw(false);
        grid.setRow(20);
        grid.setTopRow(15);
        grid.setRow(5);
        grid.setTopRow(3);
        grid.setRedraw(true);
        break;
    case 2:
        grid.setRedraw(false);
        grid.setRow(20);
        grid.setRedraw(true);
        break;
    case 3:
        grid.setRowSel(9);
        break;
    case 4:
        grid.setTopRow(3);
        grid.setLeftCol(0);
        break;
    default:
        break;
    }
    QCOMPARE(spy.size(), reports);
}

void TestGridTable::keyIndexFindsWhatAScanFinds_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("distinct");
    QTest::newRow("empty") << 0 << 1;
    QTest::newRow("mostly unique keys") << 2000 << 1000000;
    QTest::newRow("every key on many lines") << 2000 << 37;
    QTest::newRow("one key on every line") << 500 << 1;
}

// The index against a scan of every line: the first or the last line of each key, none for a key left out or
// absent; for lists of mostly unique keys, of keys on many lines, and of one key on every line.
void TestGridTable::keyIndexFindsWhatAScanFinds()
{
    QFETCH(int, rows);
    QFETCH(int, distinct);
    GridTable grid;
    grid.setCols(2);
    grid.setRows(1);
    QRandomGenerator random(quint32(rows + distinct));
    for (int r = 0; r < rows; ++r)
        QVERIFY(grid.addItem(QStringLiteral("%1\tx").arg(random.bounded(distinct))));
    // Keys that end in 7 are left out, as pause lines are.
    const auto indexed = [](QStringView key) { return !key.endsWith(u'7'); };
    for (const KeyIndex::Keep keep : { KeyIndex::Keep::FirstLine, KeyIndex::Keep::LastLine }) {
        const KeyIndex index(grid, 0, 1, keep, indexed);
        // Every key the list holds, and some it does not.
        QStringList probes { QStringLiteral("-1"), QString(), QStringLiteral("1000001") };
        for (int r = 1; r < grid.rows(); ++r)
            probes << grid.textMatrix(r, 0);
        for (const QString& key : probes) {
            int expected = -1;
            for (int r = 1; r < grid.rows() && indexed(key); ++r) {
                if (grid.textView(r, 0) == key && (expected < 0 || keep == KeyIndex::Keep::LastLine))
                    expected = r;
            }
            QCOMPARE(index.find(key), expected);
        }
    }
}

QTEST_GUILESS_MAIN(TestGridTable)
#include "tst_gridtable.moc"
