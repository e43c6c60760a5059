// Dragging a starter by its Volg cell in the grid widget, with the mouse and with a finger: where it lands (the
// landing line, pause lines kept in place), Escape and a lost focus cancelling, a drag begun elsewhere in the row
// still selecting rows, a finger held still starting the drag where a swipe scrolls and a tap selects.
#include "columns.h"
#include "flexgrid.h"
#include "gridtable.h"
#include "regels.h"

#include <QPointingDevice>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// Thirty lines, a pause line on row 6, laid out as the window does it (the key column hidden).
void fill(GridTable& table)
{
    table.setCols(column::Count);
    table.setRows(31);
    table.setFixedRows(1);
    for (int c = 0; c < column::Count; ++c)
        table.setColWidth(c, c == column::Key ? 0 : 900);
    for (int r = 1; r < table.rows(); ++r) {
        const bool pause = r == 6;
        table.setTextMatrix(r, column::Key, pause ? QStringLiteral("P") : QString::number(1000 + r));
        table.setTextMatrix(r, column::Position, QString::number(r));
        table.setTextMatrix(r, column::Rider, pause ? QStringLiteral("Pauze") : QStringLiteral("Ruiter %1").arg(r));
    }
}

} // namespace

class TestRowDrag : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void gesture_data();
    void gesture();

private:
    QPoint centre(int row, int col) const { return m_grid->cellRect(row, col).center(); }

    std::unique_ptr<GridTable> m_table;
    std::unique_ptr<FlexGrid> m_grid;
    // Qt 6.4 keeps a test's touch device registered until the end and never frees it: the test does.
    std::unique_ptr<QPointingDevice> m_touch;
};

void TestRowDrag::init()
{
    m_table = std::make_unique<GridTable>();
    fill(*m_table);
    m_grid = std::make_unique<FlexGrid>();
    m_grid->setTable(m_table.get());
    m_grid->setRowDrag([this](int from, int pointed) { return regels::landingRow(*m_table, from, pointed); });
    m_grid->resize(700, 400);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    if (!m_touch)
        m_touch.reset(QTest::createTouchDevice());
}

void TestRowDrag::cleanup()
{
    m_grid.reset();
    m_table.reset();
}

void TestRowDrag::gesture_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("pointed");
    QTest::addColumn<int>("dropped"); // the row the drop lands on; -1 when nothing is dropped

    QTest::newRow("mouse: Volg cell to a row above") << "mouse" << 12 << 3 << 3;
    QTest::newRow("mouse: onto a pause line stops before it") << "mouse" << 12 << 6 << 7;
    QTest::newRow("mouse: down") << "mouse" << 2 << 9 << 9;
    QTest::newRow("mouse: Escape cancels") << "escape" << 12 << 3 << -1;
    QTest::newRow("mouse: a lost focus cancels") << "focus" << 12 << 3 << -1;
    QTest::newRow("mouse: from the rider's cell selects rows") << "rider" << 12 << 3 << -1;
    QTest::newRow("mouse: a pause line is no grip") << "mouse" << 6 << 3 << -1;
    QTest::newRow("touch: held on the Volg cell, then moved") << "hold" << 12 << 3 << 3;
    QTest::newRow("touch: a swipe scrolls") << "swipe" << 12 << 3 << -1;
    QTest::newRow("touch: a tap selects") << "tap" << 12 << 12 << -1;
}

void TestRowDrag::gesture()
{
    QFETCH(QString, gesture);
    QFETCH(int, from);
    QFETCH(int, pointed);
    QFETCH(int, dropped);

    QSignalSpy drops(m_grid.get(), &FlexGrid::rowDragged);
    QSignalSpy downs(m_grid.get(), &FlexGrid::mouseDown);
    QWidget* viewport = m_grid->viewport();
    const int startCol = gesture == u"rider" ? column::Rider : column::Position;
    const QPoint start = centre(from, startCol);
    const QPoint target = centre(pointed, startCol);

    if (gesture == u"hold" || gesture == u"swipe" || gesture == u"tap") {
        m_table->setTopRow(1);
        QTest::touchEvent(viewport, m_touch.get()).press(0, start);
        if (gesture == u"hold")
            QTest::qWait(FlexGrid::touchHoldTime + 150);
        if (gesture != u"tap") {
            QTest::touchEvent(viewport, m_touch.get()).move(0, (start + target) / 2);
            QTest::touchEvent(viewport, m_touch.get()).move(0, target);
        }
        if (gesture == u"hold") {
            QVERIFY(m_grid->isDragging());
            QCOMPARE(m_grid->landingRow(), dropped);
        }
        const QPoint end = gesture == u"tap" ? start : target;
        QTest::touchEvent(viewport, m_touch.get()).release(0, end);
        if (gesture == u"swipe")
            QVERIFY(m_table->topRow() > 1);
        if (gesture == u"tap") {
            QCOMPARE(downs.size(), 1);
            QCOMPARE(m_table->row(), from);
        }
    } else {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(viewport, (start + target) / 2);
        QTest::mouseMove(viewport, target);
        if (dropped >= 0) {
            QVERIFY(m_grid->isDragging());
            QCOMPARE(m_grid->landingRow(), dropped);
            QCOMPARE(viewport->cursor().shape(), Qt::ClosedHandCursor);
        }
        if (gesture == u"escape") {
            QVERIFY(m_grid->isDragging());
            QTest::keyClick(m_grid.get(), Qt::Key_Escape);
            QVERIFY(!m_grid->isDragging());
        } else if (gesture == u"focus") {
            QVERIFY(m_grid->isDragging());
            QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            QCoreApplication::sendEvent(m_grid.get(), &out);
        } else if (gesture == u"rider") {
            QVERIFY(!m_grid->isDragging());
            QCOMPARE(m_table->rowSel(), pointed);
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, target);
    }
    QVERIFY(!m_grid->isDragging());
    if (dropped < 0) {
        QCOMPARE(drops.size(), 0);
    } else {
        QCOMPARE(drops.size(), 1);
        QCOMPARE(drops.first().at(0).toInt(), from);
        QCOMPARE(drops.first().at(1).toInt(), dropped);
    }
}

QTEST_MAIN(TestRowDrag)
#include "tst_rowdrag.moc"
