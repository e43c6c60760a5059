// The row selection from the keyboard and the type-ahead on back numbers, on a grid table without a display.
#include "colourtable.h"
#include "columns.h"
#include "gridtable.h"
#include "keyboardselection.h"
#include "multiselect.h"
#include "typeahead.h"

#include <QTest>

namespace {

constexpr int lines = 30;

// A running order of `lines` lines, 10 to a page; line r has the key r and the back number 100 + r, and the
// lines given in `pauses` are pause lines.
void fill(GridTable& grid, QList<int> pauses = {})
{
    grid.setCols(column::Count);
    grid.setRows(lines + 1);
    grid.setFixedRows(1);
    grid.setPageRows(10);
    for (int r = 1; r <= lines; ++r) {
        const bool pause = pauses.contains(r);
        grid.setTextMatrix(r, column::Key, pause ? QStringLiteral("P") : QString::number(r));
        grid.setTextMatrix(r, column::Number, pause ? QString() : QString::number(100 + r));
    }
}

QList<int> selectedRows(const GridTable& grid)
{
    QList<int> rows;
    for (int r = 1; r < grid.rows(); ++r) {
        if (codeMultiSelect::isSelected(grid, r))
            rows << r;
    }
    return rows;
}

const codeMultiSelect::PaintRow paint = codeMultiSelect::paintSelectionRow;

} // namespace

class TestKeyboardSelection : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void rowsOfNoHeightKeepTheirFlag();
    void typeAhead_data();
    void typeAhead();
};

void TestKeyboardSelection::keys_data()
{
    // The keys, one word each: "click N" (a plain click on row N, as the mouse makes it), "shift+down",
    // "shift+up", "shift+pagedown", "shift+home", "shift+end", "alt+down", "alt+up", "ctrl+space", "jump N" (a
    // number typed); then the current row and the selected rows.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("selected");

    QTest::newRow("shift+up back over the anchor turns the selection round")
        << "click 5, shift+down, shift+up, shift+up, shift+up" << 3 << QList<int> { 3, 4, 5 };
    QTest::newRow("shift+page down extends by a page")
        << "click 2, shift+pagedown" << 12 << QList<int> { 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    QTest::newRow("shift+home extends to the first line") << "click 3, shift+home" << 1 << QList<int> { 1, 2, 3 };
    QTest::newRow("shift+end at the end stays") << "click 29, shift+end, shift+down" << 30 << QList<int> { 29, 30 };
    QTest::newRow("a click ends an extension: the next one grows from the clicked row")
        << "click 3, shift+down, shift+down, click 10, shift+down" << 11 << QList<int> { 10, 11 };
    QTest::newRow("a click on the extension's own end also ends it")
        << "click 3, shift+down, shift+down, click 5, shift+down" << 6 << QList<int> { 5, 6 };
    QTest::newRow("alt moves the current row and keeps the selection")
        << "click 3, alt+down, alt+down, alt+down, alt+down" << 7 << QList<int> { 3 };
    QTest::newRow("ctrl+space gathers rows that are not together")
        << "click 3, alt+down, alt+down, alt+down, alt+down, ctrl+space" << 7 << QList<int> { 3, 7 };
    QTest::newRow("ctrl+space on a selected row takes it out")
        << "click 3, shift+down, shift+down, ctrl+space" << 5 << QList<int> { 3, 4 };
    QTest::newRow("after ctrl+space an extension grows from the current row, as a shift-click does")
        << "click 3, shift+down, shift+down, ctrl+space, shift+down" << 6 << QList<int> { 5, 6 };
    QTest::newRow("alt+up at the first line stays") << "click 1, alt+up, ctrl+space" << 1 << QList<int> {};
    QTest::newRow("a jump selects its row alone") << "click 3, shift+down, jump 20" << 20 << QList<int> { 20 };
}

void TestKeyboardSelection::keys()
{
    QFETCH(QString, keys);
    QFETCH(int, current);
    QFETCH(QList<int>, selected);

    GridTable grid;
    fill(grid);
    KeyboardSelection keyboard;
    using Step = KeyboardSelection::Step;
    const QHash<QString, Step> steps { { "down", Step::LineDown }, { "up", Step::LineUp },
        { "pagedown", Step::PageDown }, { "pageup", Step::PageUp }, { "home", Step::First }, { "end", Step::Last } };
    for (const QString& key : keys.split(QStringLiteral(", "))) {
        const QStringList words = key.split(u' ');
        const QStringList parts = words[0].split(u'+');
        if (words[0] == QLatin1String("click")) {
            // As the grid and the station make it: the press moves the current cell, the release selects.
            keyboard.forget();
            grid.setRow(words[1].toInt());
            bool shift = false;
            bool ctrl = false;
            codeMultiSelect::GridMultiSelect_MouseUp(grid, codeMultiSelect::leftButton, shift, ctrl, paint);
        } else if (words[0] == QLatin1String("jump")) {
            keyboard.select(grid, words[1].toInt(), paint);
        } else if (parts[0] == QLatin1String("shift")) {
            keyboard.extend(grid, steps.value(parts[1]), paint);
        } else if (parts[0] == QLatin1String("alt")) {
            keyboard.moveCurrent(grid, steps.value(parts[1]), paint);
        } else if (words[0] == QLatin1String("ctrl+space")) {
            keyboard.toggleCurrent(grid, paint);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown key ") + key));
        }
    }
    QCOMPARE(grid.row(), current);
    QCOMPARE(selectedRows(grid), selected);
    // What is green is what the flags say: the grid's own range is the current cell, and every row has the
    // colour of its flag.
    QCOMPARE(grid.rowSel(), grid.row());
    QCOMPARE(grid.colSel(), grid.col());
    for (int r = 1; r <= lines; ++r)
        QCOMPARE(grid.backColorAt(r, 1), selected.contains(r) ? colours::selectedRow : colours::unselectedRow);
    // The current row is on the page.
    QVERIFY(grid.topRow() <= current && current < grid.topRow() + grid.pageRows());
}

void TestKeyboardSelection::rowsOfNoHeightKeepTheirFlag()
{
    GridTable grid;
    fill(grid);
    KeyboardSelection keyboard;
    grid.setRowHeight(5, 0);
    grid.setRowData(5, 7);
    grid.setRow(3);
    for (int i = 0; i < 4; ++i)
        keyboard.extend(grid, KeyboardSelection::Step::LineDown, paint);
    QCOMPARE(selectedRows(grid), (QList<int> { 3, 4, 6, 7 }));
    QCOMPARE(grid.rowData(5), 7);
}

void TestKeyboardSelection::typeAhead_data()
{
    // Digits with the milliseconds between them ("1 +200 0" is 1, then 0 200 ms later), the rows each finds.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("rows");

    // Line r carries the number 100 + r; line 8 is a pause; line 12 carries "1" and line 13 " 12 ".
    QTest::newRow("a number typed quickly finds its starter as it grows")
        << "1 +100 1 +100 5" << QList<int> { 12, 10, 15 };
    QTest::newRow("an exact number comes before one that begins with it") << "1 +100 2" << QList<int> { 12, 13 };
    QTest::newRow("after a pause a digit begins a new number")
        << "1 +100 1 +100 0 +1500 1" << QList<int> { 12, 10, 10, 12 };
    QTest::newRow("a number no starter has finds nothing, the digits after it neither")
        << "9 +100 9" << QList<int> { -1, -1 };
    QTest::newRow("a clock that goes back begins a new number") << "1 +100 1 -50 5" << QList<int> { 12, 10, -1 };
    QTest::newRow("pause lines have no number") << "1 +100 0 +100 8" << QList<int> { 12, 1, -1 };
}

void TestKeyboardSelection::typeAhead()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, rows);

    GridTable grid;
    fill(grid, { 8 });
    grid.setTextMatrix(12, column::Number, QStringLiteral("1"));
    grid.setTextMatrix(13, column::Number, QStringLiteral(" 12 "));
    TypeAhead typeAhead;
    qint64 time = 1000000;
    QList<int> found;
    for (const QString& word : typed.split(u' ')) {
        if (word.startsWith(u'+') || word.startsWith(u'-'))
            time += word.toLongLong();
        else
            found << typeAhead.type(word.at(0), time, grid);
    }
    QCOMPARE(found, rows);
    QCOMPARE(typeAhead.type(u'x', time, grid), -1);
}

QTEST_GUILESS_MAIN(TestKeyboardSelection)
#include "tst_keyboardselection.moc"
