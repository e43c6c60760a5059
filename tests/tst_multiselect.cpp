// The row selection rules, the repaint and the contrast colour, on a grid table without a display.
#include "colourtable.h"
#include "gridpos.h"
#include "gridtable.h"
#include "kleuren.h"
#include "multiselect.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace codeMultiSelect;
using codeGridPos::GridPos;

Q_DECLARE_METATYPE(codeGridPos::GridPos)

namespace {

constexpr quint32 dark = colours::darkText;
constexpr quint32 light = colours::lightText;

// A running order as grid(1) holds it: the header row and `lines` lines of 11 columns.
void fill(GridTable& grid, int lines)
{
    grid.setCols(11);
    grid.setRows(lines + 1);
    grid.setFixedRows(1);
    for (int r = 1; r <= lines; ++r)
        grid.setTextMatrix(r, 0, QString::number(r));
}

void setFlags(GridTable& grid, const QList<int>& flags)
{
    for (int r = 1; r < grid.rows(); ++r)
        grid.setRowData(r, r - 1 < flags.size() ? flags[r - 1] : 0);
}

QList<int> flagsOf(const GridTable& grid)
{
    QList<int> flags;
    for (int r = 1; r < grid.rows(); ++r)
        flags << grid.rowData(r);
    return flags;
}

// Flags of rows 1..count with the given rows set to 1.
QList<int> selected(int count, std::initializer_list<int> rows)
{
    QList<int> flags(count, 0);
    for (int r : rows)
        flags[r - 1] = 1;
    return flags;
}

const PaintRow paint = [](GridTable& grid, int row) { paintSelectionRow(grid, row); };

// Every cell of every line shows the colours of its flag.
bool paintedAsFlags(const GridTable& grid)
{
    for (int r = 1; r < grid.rows(); ++r) {
        const quint32 back = grid.rowData(r) == 1 ? colours::selectedRow : colours::unselectedRow;
        for (int c = 0; c < grid.cols(); ++c) {
            if (grid.backColorAt(r, c) != back || grid.foreColorAt(r, c) != dark)
                return false;
        }
    }
    return true;
}

} // namespace

class TestMultiSelect : public QObject
{
    Q_OBJECT

private slots:
    void contrastKleur_data();
    void contrastKleur();
    void contrastRatio_data();
    void contrastRatio();
    void sunlightTextsAreReadable();
    void setGridPos_data();
    void setGridPos();
    void refreshKeepsPosition_data();
    void refreshKeepsPosition();
    void repaintTouchesOnlyWrongRows_data();
    void repaintTouchesOnlyWrongRows();
    void paintRowLooksAtFirstCellOnly();
    void repaintOfChangedRowsPaintsAsAFullPass_data();
    void repaintOfChangedRowsPaintsAsAFullPass();
    void leftClick_data();
    void leftClick();
    void rightClick_data();
    void rightClick();
};

void TestMultiSelect::contrastKleur_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<quint32>("text");
    QTest::newRow("selected light green, brightness 213") << 0x00C0FFC0u << dark;
    QTest::newRow("system window background, negative") << 0x80000005u << dark;
    QTest::newRow("system button face, negative") << 0x8000000Fu << dark;
    QTest::newRow("dark blue, brightness 21") << 0x00400000u << light;
    QTest::newRow("black") << 0x00000000u << light;
    QTest::newRow("white") << 0x00FFFFFFu << dark;
    QTest::newRow("127.33 rounds down to 127") << 0x00807F7Fu << light;
    QTest::newRow("127.67 rounds up to 128") << 0x0080807Fu << dark;
    QTest::newRow("blue not reduced past 255") << 0x7F000000u << dark;
}

void TestMultiSelect::contrastKleur()
{
    QFETCH(quint32, colour);
    QFETCH(quint32, text);
    QCOMPARE(codeKleuren::ContrastKleur(colour), text);
}

void TestMultiSelect::contrastRatio_data()
{
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("second");
    QTest::addColumn<double>("ratio");
    // The guidelines' own reference points, and what the office's design shows the official.
    QTest::newRow("black on white: the most there is") << colours::black << colours::white << 21.0;
    QTest::newRow("white on black: the same") << colours::white << colours::black << 21.0;
    QTest::newRow("a colour on itself") << 0x00336699u << 0x00336699u << 1.0;
    QTest::newRow("mid grey #777 on white, just below 4.5") << 0x00777777u << colours::white << 4.48;
    QTest::newRow("below the linear threshold: #0A0A0A on black") << 0x000A0A0Au << colours::black << 1.06;
    QTest::newRow("the office's selection green on white") << colours::selectedRow << colours::white << 1.15;
    QTest::newRow("the office's green square on white") << colours::green << colours::white << 1.37;
    QTest::newRow("pure red on white") << 0x000000FFu << colours::white << 4.0;
    QTest::newRow("pure blue on white") << 0x00FF0000u << colours::white << 8.59;
}

void TestMultiSelect::contrastRatio()
{
    QFETCH(quint32, first);
    QFETCH(quint32, second);
    QFETCH(double, ratio);
    QCOMPARE(std::round(codeKleuren::contrastRatio(first, second) * 100) / 100, ratio);
}

void TestMultiSelect::sunlightTextsAreReadable()
{
    // Every text the sunlight mode paints, on what it stands on, also seen through the veil of a list that is not
    // up to date.
    for (const colours::sunlight::TextOn& pair : colours::sunlight::textPairs) {
        for (const bool veiled : { false, true }) {
            const quint32 back
                = veiled ? codeKleuren::throughVeil(pair.back, colours::staleVeil, colours::staleVeilAlpha) : pair.back;
            const double ratio = codeKleuren::contrastRatio(pair.text, back);
            QVERIFY2(ratio >= colours::sunlight::minimumContrast,
                qPrintable(QStringLiteral("%1%2: %3:1")
                               .arg(QString::fromUtf8(pair.where), veiled ? QStringLiteral(", veiled") : QString())
                               .arg(ratio, 0, 'f', 2)));
        }
    }
    // The selection stands out from the rows beside it in more than its colour: the mode frames it too.
    QVERIFY(codeKleuren::contrastRatio(colours::sunlight::frame, colours::sunlight::selected)
        >= colours::sunlight::minimumContrast);
}

void TestMultiSelect::setGridPos_data()
{
    QTest::addColumn<bool>("selection");
    QTest::addColumn<GridPos>("expected");
    // Saved: Row 12, RowSel 7, TopRow 5, Col 4, ColSel 8, LeftCol 2; then everything moved elsewhere.
    QTest::newRow("selection: cell and range, scroll left alone") << true << GridPos { 12, 7, 30, 4, 8, 3 };
    QTest::newRow("scroll: top row and left column, cell left alone") << false << GridPos { 20, 20, 5, 1, 1, 2 };
}

void TestMultiSelect::setGridPos()
{
    QFETCH(bool, selection);
    QFETCH(GridPos, expected);
    GridTable grid;
    fill(grid, 50);
    grid.setPageRows(10);
    grid.setRow(12);
    grid.setCol(4);
    grid.setRowSel(7);
    grid.setColSel(8);
    grid.setTopRow(5);
    grid.setLeftCol(2);
    const GridPos saved = codeGridPos::GetGridPos(grid);
    QCOMPARE(saved, (GridPos { 12, 7, 5, 4, 8, 2 }));

    grid.setRow(20);
    grid.setCol(1);
    grid.setTopRow(30);
    grid.setLeftCol(3);
    codeGridPos::SetGridPos(grid, saved, selection);
    QCOMPARE(codeGridPos::GetGridPos(grid), expected);
}

void TestMultiSelect::refreshKeepsPosition_data()
{
    QTest::addColumn<GridPos>("pos");
    QTest::newRow("single cell") << GridPos { 3, 3, 1, 2, 2, 0 };
    QTest::newRow("range downwards, scrolled") << GridPos { 10, 25, 8, 1, 10, 1 };
    QTest::newRow("range upwards") << GridPos { 40, 12, 30, 9, 3, 0 };
    QTest::newRow("last page") << GridPos { 200, 200, 191, 0, 10, 4 };
}

void TestMultiSelect::refreshKeepsPosition()
{
    QFETCH(GridPos, pos);
    GridTable grid;
    fill(grid, 200);
    grid.setPageRows(10);
    setFlags(grid, selected(200, { 2, 3, 50 }));
    codeGridPos::SetGridPos(grid, pos, true);
    codeGridPos::SetGridPos(grid, pos, false);
    QCOMPARE(codeGridPos::GetGridPos(grid), pos);

    GridMultiSelect_Refresh(grid, paint);
    QCOMPARE(codeGridPos::GetGridPos(grid), pos);
    QVERIFY(grid.redraw());
    QVERIFY(paintedAsFlags(grid));
}

void TestMultiSelect::repaintTouchesOnlyWrongRows_data()
{
    QTest::addColumn<int>("changedRow");
    QTest::addColumn<int>("newFlag");
    QTest::newRow("row selected") << 17 << 1;
    QTest::newRow("row deselected") << 3 << 0;
    QTest::newRow("last row selected") << 300 << 1;
    QTest::newRow("flag 2 paints as unselected") << 3 << 2;
}

void TestMultiSelect::repaintTouchesOnlyWrongRows()
{
    QFETCH(int, changedRow);
    QFETCH(int, newFlag);
    GridTable grid;
    fill(grid, 300);
    setFlags(grid, selected(300, { 3, 4 }));
    GridMultiSelect_Refresh(grid, paint);
    QVERIFY(paintedAsFlags(grid));

    grid.setRowData(changedRow, newFlag);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    GridMultiSelect_Refresh(grid, paint);
    // One notification, covering just the changed row.
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex().row(), changedRow);
    QCOMPARE(changed.at(0).at(1).toModelIndex().row(), changedRow);
    QVERIFY(paintedAsFlags(grid));

    // Nothing wrong, nothing painted.
    changed.clear();
    GridMultiSelect_Refresh(grid, paint);
    QCOMPARE(changed.size(), 0);
}

void TestMultiSelect::paintRowLooksAtFirstCellOnly()
{
    GridTable grid;
    fill(grid, 5);
    setFlags(grid, selected(5, { 2 }));
    GridMultiSelect_Refresh(grid, paint);
    // Someone coloured a later cell of row 2 only: its first cell is right, so the row is left as it is.
    grid.setRow(2);
    grid.setCol(5);
    grid.setCellBackColor(0x000000FF);
    GridMultiSelect_Refresh(grid, paint);
    QCOMPARE(grid.backColorAt(2, 5), quint32(0x000000FF));
    QCOMPARE(grid.backColorAt(2, 0), colours::selectedRow);
    QCOMPARE(grid.row(), 2);
    QCOMPARE(grid.col(), 5);
}

void TestMultiSelect::repaintOfChangedRowsPaintsAsAFullPass_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("flags and colours") << 21u;
    QTest::newRow("flags, colours and the shape") << 22u;
    QTest::newRow("many flags at once") << 23u;
}

// The repaint paints only the rows whose flag or colours changed since the last one. The same edits on a
// second grid, repainted by a pass over every row, must leave every cell in the same colours.
void TestMultiSelect::repaintOfChangedRowsPaintsAsAFullPass()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    GridTable grids[2];
    for (GridTable& grid : grids)
        fill(grid, 60);
    const auto fullPass = [](GridTable& grid) {
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            paintSelectionRow(grid, r);
    };
    for (int step = 0; step < 2000; ++step) {
        const int row = int(random.bounded(grids[0].rows()));
        const int col = int(random.bounded(11));
        const quint32 colour = random.bounded(2) ? colours::selectedRow : 0x000000FFu;
        const int action = int(random.bounded(seed == 23u ? 9 : 8));
        const int flag = random.bounded(3) == 0 ? 2 : row % 2;
        for (GridTable& grid : grids) {
            switch (action) {
            case 0:
            case 1:
            case 2:
                grid.setRowData(row, flag);
                break;
            case 3:
                grid.setRow(std::max(row, grid.fixedRows()));
                grid.setCol(col);
                grid.setCellBackColor(colour);
                break;
            case 4:
                grid.setRowColours(row, col, colour, colours::darkText);
                break;
            case 5:
                if (seed != 21u)
                    grid.setRows(30 + row % 40);
                break;
            case 6:
                if (seed != 21u)
                    grid.setFixedRows(row % 3 == 0 ? 0 : 1);
                break;
            case 7:
                break; // a repaint with nothing changed
            default:
                for (int r = 0; r < grid.rows(); ++r)
                    grid.setRowData(r, (r + step) % 2);
                break;
            }
        }
        GridMultiSelect_Refresh(grids[0], paint);
        fullPass(grids[1]);
        for (int r = 0; r < grids[0].rows(); ++r) {
            for (int c = 0; c < 11; ++c) {
                if (grids[0].backColorAt(r, c) != grids[1].backColorAt(r, c)
                    || grids[0].foreColorAt(r, c) != grids[1].foreColorAt(r, c))
                    QFAIL(qPrintable(QStringLiteral("step %1: row %2, column %3").arg(step).arg(r).arg(c)));
            }
        }
    }
}

void TestMultiSelect::leftClick_data()
{
    // A left press and release as the grid reports them: MouseDown, the grid's own move (a plain press
    // makes the row current, a Shift press moves the range end) with its SelChange, MouseUp.
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QList<int>>("heights");
    QTest::addColumn<QList<int>>("expected");
    const QList<int> none;
    QTest::newRow("plain click on the current row")
        << selected(12, { 3, 4 }) << 3 << 3 << 0 << none << selected(12, { 3 });
    QTest::newRow("shift-click upwards 9 to 3")
        << selected(12, {}) << 9 << 3 << shiftMask << none << selected(12, { 3, 4, 5, 6, 7, 8, 9 });
    QTest::newRow("ctrl-click on flag 2 selects it")
        << QList<int> { 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0 } << 1 << 6 << ctrlMask << none << selected(12, { 6 });
    QTest::newRow("alt means nothing") << selected(12, { 3 }) << 3 << 8 << 4 << none << selected(12, { 8 });
    QTest::newRow("shift-click over a hidden row leaves it out")
        << selected(12, {}) << 2 << 6 << shiftMask << QList<int> { 4 } << selected(12, { 2, 3, 5, 6 });
    QTest::newRow("ctrl-shift-click leaves a hidden row's flag")
        << selected(12, { 4 }) << 2 << 6 << (ctrlMask | shiftMask) << QList<int> { 4 } << selected(12, { 3, 4, 5, 6 });
}

void TestMultiSelect::leftClick()
{
    QFETCH(QList<int>, flags);
    QFETCH(int, current);
    QFETCH(int, clicked);
    QFETCH(int, shift);
    QFETCH(QList<int>, heights);
    QFETCH(QList<int>, expected);
    GridTable grid;
    fill(grid, 12);
    for (int hidden : heights)
        grid.setRowHeight(hidden, 0);
    setFlags(grid, flags);
    grid.setRow(current);
    grid.setCol(3);
    bool shiftDown = false;
    bool ctrlDown = false;

    GridMultiSelect_MouseDown(grid, leftButton, shift, shiftDown, ctrlDown, paint);
    QCOMPARE(shiftDown, (shift & shiftMask) != 0);
    QCOMPARE(ctrlDown, (shift & ctrlMask) != 0);
    if (shift & shiftMask) {
        grid.setRowSel(clicked);
        grid.setColSel(5);
    } else {
        grid.setRow(clicked);
        grid.setCol(5);
    }
    GridMultiSelect_SelChange(grid, shiftDown, ctrlDown, paint);
    GridMultiSelect_MouseUp(grid, leftButton, shiftDown, ctrlDown, paint);

    QCOMPARE(flagsOf(grid), expected);
    QVERIFY(!shiftDown);
    QVERIFY(!ctrlDown);
    // The grid's own block has shrunk to the current cell; the selection lives in the flags.
    QCOMPARE(grid.row(), (shift & shiftMask) ? current : clicked);
    QCOMPARE(grid.rowSel(), grid.row());
    QCOMPARE(grid.colSel(), grid.col());
    QVERIFY(paintedAsFlags(grid));
}

void TestMultiSelect::rightClick_data()
{
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<int>("mouseRow");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<int>("expectedRow");
    QTest::newRow("on flag 2 selects that row alone")
        << QList<int> { 0, 0, 0, 0, 0, 0, 0, 2, 0, 0 } << 8 << selected(10, { 8 }) << 8;
    QTest::newRow("on the header changes nothing") << selected(10, { 3, 4 }) << 0 << selected(10, { 3, 4 }) << 6;
    QTest::newRow("below the last row changes nothing") << selected(10, { 3, 4 }) << -1 << selected(10, { 3, 4 }) << 6;
}

void TestMultiSelect::rightClick()
{
    QFETCH(QList<int>, flags);
    QFETCH(int, mouseRow);
    QFETCH(QList<int>, expected);
    QFETCH(int, expectedRow);
    GridTable grid;
    fill(grid, 10);
    setFlags(grid, flags);
    grid.setRow(6);
    GridMultiSelect_Refresh(grid, paint);
    bool shiftDown = false;
    bool ctrlDown = false;

    grid.setMouseRow(mouseRow);
    GridMultiSelect_MouseDown(grid, rightButton, 0, shiftDown, ctrlDown, paint);
    QCOMPARE(flagsOf(grid), flags); // the right press is not the grid's business
    GridMultiSelect_MouseUp(grid, rightButton, shiftDown, ctrlDown, paint);
    QCOMPARE(flagsOf(grid), expected);
    QCOMPARE(grid.row(), expectedRow);
    QVERIFY(paintedAsFlags(grid));
}

QTEST_APPLESS_MAIN(TestMultiSelect)
#include "tst_multiselect.moc"
