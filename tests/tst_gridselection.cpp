// Row selection and the mouse wheel on the real main window, driven with mouse, key and wheel events as
// the official would make them.
#include "classfile.h"
#include "colourtable.h"
#include "columns.h"
#include "flexgrid.h"
#include "gridtable.h"
#include "holdbutton.h"
#include "windowfixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <memory>

namespace {

constexpr int lines = 80;
constexpr int shownColumn = column::Horse; // a visible column; the key's column has width 0
constexpr quint32 selectedBack = colours::selectedRow;
constexpr quint32 unselectedBack = colours::unselectedRow;

enum class Action { Click, ShiftClick, CtrlClick, CtrlShiftClick, RightClick, Drag, DoubleClick };
enum class Place { Grid, GridScrollBar, Strip, StripButton, MoveButton, Title };

QList<int> selected(std::initializer_list<int> rows)
{
    QList<int> flags(lines, 0);
    for (int r : rows)
        flags[r - 1] = 1;
    return flags;
}

// A widget's centre on the screen.
QPoint centreOf(const QWidget* widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

QList<int> range(int first, int last)
{
    QList<int> flags(lines, 0);
    for (int r = first; r <= last; ++r)
        flags[r - 1] = 1;
    return flags;
}

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Place)

class TestGridSelection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void mouse_data();
    void mouse();
    void dragPaintsLive();
    void keys_data();
    void keys();
    void eventOrder_data();
    void eventOrder();
    void repaintKeepsPosition();
    void wheel_data();
    void wheel();
    void wheelOnMonitorAboveAndLeft();

private:
    Station& station() { return m_kit->station(); }
    // The grid control's model, as the grid widget changes it.
    GridTable& table() { return *m_kit->grid()->table(); }
    FlexGrid* grid() { return m_kit->grid(); }
    QWidget* cells() { return grid()->viewport(); }
    QPoint cellCentre(int row) { return grid()->cellRect(row, shownColumn).center(); }
    void setFlags(const QList<int>& flags);
    QList<int> flags();
    bool paintedAsFlags();
    void key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {}, bool autoRepeat = false);
    void wheelAt(QPoint global, QPoint angle, QPoint pixels, Qt::KeyboardModifiers modifiers);
    void repaint();

    std::unique_ptr<testsupport::WindowFixture> m_kit;
    FrmBaldovenaar* m_window = nullptr;
    QStringList m_events;
};

void TestGridSelection::initTestCase()
{
    // One window for every test, following a class of `lines` lines; the tests set its selection and
    // position, the five-second check does not run.
    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
    m_window = &m_kit->makeWindow();
    QStringList keys;
    for (int r = 1; r <= lines; ++r)
        keys << QString::number(r);
    QVERIFY(m_kit->openClass(testsupport::classBytes(keys.join(u' '))));
    QCOMPARE(table().rows(), lines + 1);
    station().stopChecks();
    FlexGrid* g = grid();
    connect(g, &FlexGrid::mouseDown, this, [this] { m_events << QStringLiteral("MouseDown"); });
    connect(g, &FlexGrid::mouseUp, this, [this] { m_events << QStringLiteral("MouseUp"); });
    connect(g, &FlexGrid::keyDown, this, [this] { m_events << QStringLiteral("KeyDown"); });
    connect(g, &FlexGrid::keyUp, this, [this] { m_events << QStringLiteral("KeyUp"); });
    connect(g, &FlexGrid::selChange, this, [this] { m_events << QStringLiteral("SelChange"); });
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestGridSelection::cleanupTestCase()
{
    m_window->close();
    m_kit.reset();
}

void TestGridSelection::init()
{
    // The list as a fresh read leaves it: nothing selected, the first line current, at the top.
    GridTable& t = table();
    setFlags(QList<int>(lines, 0));
    t.setRow(1);
    t.setCol(shownColumn);
    t.setTopRow(1);
    t.setLeftCol(0);
    repaint();
    grid()->show();
    m_window->Form_Resize();
    // The scroll area shows or hides its scroll bars for a new range from the event loop.
    QCoreApplication::processEvents();
    grid()->setFocus(Qt::OtherFocusReason);
    QVERIFY2(grid()->visibleRows() >= 10 && grid()->visibleRows() < lines / 2,
        qPrintable(QStringLiteral("%1 rows in %2").arg(grid()->visibleRows()).arg(grid()->height())));
    m_events.clear();
}

void TestGridSelection::setFlags(const QList<int>& flags)
{
    for (int r = 1; r <= lines; ++r)
        table().setRowData(r, flags[r - 1]);
}

void TestGridSelection::repaint()
{
    // A selection change while Shift is recorded only repaints, as after a load.
    station().grid_KeyDown(Qt::ShiftModifier);
    station().grid_SelChange();
    station().grid_KeyUp();
}

QList<int> TestGridSelection::flags()
{
    QList<int> result;
    for (int r = 1; r <= lines; ++r)
        result << table().rowData(r);
    return result;
}

bool TestGridSelection::paintedAsFlags()
{
    for (int r = 1; r <= lines; ++r) {
        const quint32 back = table().rowData(r) == 1 ? selectedBack : unselectedBack;
        for (int c = 0; c < table().cols(); ++c) {
            if (table().backColorAt(r, c) != back)
                return false;
        }
    }
    return true;
}

void TestGridSelection::key(QEvent::Type type, int code, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    QKeyEvent event(type, code, modifiers, QString(), autoRepeat);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

void TestGridSelection::wheelAt(QPoint global, QPoint angle, QPoint pixels, Qt::KeyboardModifiers modifiers)
{
    // Delivered as the window system delivers it: to the deepest widget under the pointer, from where it
    // travels up to the parents that do not take it.
    QWidget* receiver = m_window;
    if (QWidget* child = m_window->childAt(m_window->mapFromGlobal(global)))
        receiver = child;
    const QPoint at = receiver->mapFromGlobal(global);
    QWheelEvent event(at, global, pixels, angle, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(receiver, &event);
}

void TestGridSelection::mouse_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("current");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("target");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<int>("currentAfter");

    QTest::newRow("click selects the row alone")
        << selected({ 2, 9 }) << 2 << Action::Click << 5 << selected({ 5 }) << 5;
    QTest::newRow("drag 3 to 7") << selected({ 1 }) << 1 << Action::Drag << 7 << range(3, 7) << 3;
    QTest::newRow("shift-click 3 to 9") << selected({ 3, 12 }) << 3 << Action::ShiftClick << 9 << range(3, 9) << 3;
    QTest::newRow("ctrl-click adds a row")
        << selected({ 2, 5 }) << 5 << Action::CtrlClick << 8 << selected({ 2, 5, 8 }) << 8;
    QTest::newRow("ctrl-click removes a row")
        << selected({ 2, 5, 8 }) << 8 << Action::CtrlClick << 5 << selected({ 2, 8 }) << 5;
    QList<int> oddFlag = selected({ 2 });
    oddFlag[5] = 7;
    QTest::newRow("ctrl-click on a flag of 7 selects it")
        << oddFlag << 2 << Action::CtrlClick << 6 << selected({ 2, 6 }) << 6;
    QTest::newRow("ctrl-shift-click 3 to 9 toggles 4 to 9")
        << selected({ 3, 5 }) << 3 << Action::CtrlShiftClick << 9 << selected({ 3, 4, 6, 7, 8, 9 }) << 3;
    QTest::newRow("right-click inside a selection keeps it")
        << range(3, 6) << 6 << Action::RightClick << 4 << range(3, 6) << 6;
    QTest::newRow("right-click outside a selection selects the row")
        << range(3, 6) << 6 << Action::RightClick << 10 << selected({ 10 }) << 10;
    QTest::newRow("double click selects the row alone")
        << selected({ 2, 6 }) << 2 << Action::DoubleClick << 4 << selected({ 4 }) << 4;
    QTest::newRow("click on the header changes nothing")
        << selected({ 2, 5 }) << 5 << Action::Click << 0 << selected({ 2, 5 }) << 5;
    QTest::newRow("right-click on the header changes nothing")
        << selected({ 2, 5 }) << 5 << Action::RightClick << 0 << selected({ 2, 5 }) << 5;
}

void TestGridSelection::mouse()
{
    QFETCH(QList<int>, before);
    QFETCH(int, current);
    QFETCH(Action, action);
    QFETCH(int, target);
    QFETCH(QList<int>, after);
    QFETCH(int, currentAfter);
    setFlags(before);
    table().setRow(current);
    repaint();
    const QPoint at = cellCentre(target);
    switch (action) {
    case Action::Click:
        QTest::mouseClick(cells(), Qt::LeftButton, {}, at);
        break;
    case Action::ShiftClick:
        QTest::mouseClick(cells(), Qt::LeftButton, Qt::ShiftModifier, at);
        break;
    case Action::CtrlClick:
        QTest::mouseClick(cells(), Qt::LeftButton, Qt::ControlModifier, at);
        break;
    case Action::CtrlShiftClick:
        QTest::mouseClick(cells(), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, at);
        break;
    case Action::RightClick:
        QTest::mouseClick(cells(), Qt::RightButton, {}, at);
        break;
    case Action::Drag:
        QTest::mousePress(cells(), Qt::LeftButton, {}, cellCentre(3));
        for (int r = 4; r <= target; ++r)
            QTest::mouseMove(cells(), cellCentre(r));
        QTest::mouseRelease(cells(), Qt::LeftButton, {}, at);
        break;
    case Action::DoubleClick:
        QTest::mouseClick(cells(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(cells(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(cells(), Qt::LeftButton, {}, at);
        break;
    }
    QCOMPARE(flags(), after);
    QCOMPARE(table().row(), currentAfter);
    QCOMPARE(table().rowSel(), table().row());
    QVERIFY(paintedAsFlags());
    QVERIFY(!station().ShiftDown());
    QVERIFY(!station().CtrlDown());
}

void TestGridSelection::dragPaintsLive()
{
    QTest::mousePress(cells(), Qt::LeftButton, {}, cellCentre(3));
    QTest::mouseMove(cells(), cellCentre(4));
    QTest::mouseMove(cells(), cellCentre(5));
    QCOMPARE(flags(), range(3, 5));
    QVERIFY(paintedAsFlags());
    QCOMPARE(table().rowSel(), 5);
    // Back up: the selection follows the pointer.
    QTest::mouseMove(cells(), cellCentre(4));
    QCOMPARE(flags(), range(3, 4));
    QVERIFY(paintedAsFlags());
    // Past the bottom of the page: the grid scrolls one row and takes the next one in.
    const int last = table().topRow() + grid()->visibleRows() - 1;
    QTest::mouseMove(cells(), QPoint(cellCentre(4).x(), cells()->height() + 5));
    QCOMPARE(table().rowSel(), last + 1);
    QCOMPARE(table().topRow(), 2);
    QTest::mouseRelease(cells(), Qt::LeftButton, {}, QPoint(cellCentre(4).x(), cells()->height() + 5));
    QCOMPARE(flags(), range(3, last + 1));
}

void TestGridSelection::keys_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowSel");
    QTest::addColumn<QList<int>>("after");

    const Qt::KeyboardModifiers none;
    QTest::newRow("down") << 3 << QList<int> { Qt::Key_Down } << none << 4 << 4 << selected({ 4 });
    QTest::newRow("up twice") << 5 << QList<int> { Qt::Key_Up, Qt::Key_Up } << none << 3 << 3 << selected({ 3 });
    QTest::newRow("up on the first line stays") << 1 << QList<int> { Qt::Key_Up } << none << 1 << 1 << selected({ 3 });
    // Shift extends the selection itself, as a Shift-click does, never the grid's own block of cells alone: what
    // shows green is what NG and the swap act on.
    QTest::newRow("shift+down extends the selection from the current row")
        << 3 << QList<int> { Qt::Key_Down, Qt::Key_Down, Qt::Key_Down } << Qt::KeyboardModifiers(Qt::ShiftModifier) << 6
        << 6 << range(3, 6);
    QTest::newRow("shift+up extends upwards")
        << 6 << QList<int> { Qt::Key_Up } << Qt::KeyboardModifiers(Qt::ShiftModifier) << 5 << 5 << range(5, 6);
    QTest::newRow("shift+end extends to the last line")
        << 78 << QList<int> { Qt::Key_End } << Qt::KeyboardModifiers(Qt::ShiftModifier) << lines << lines
        << range(78, lines);
    QTest::newRow("shift+right widens nothing")
        << 3 << QList<int> { Qt::Key_Right } << Qt::KeyboardModifiers(Qt::ShiftModifier) << 3 << 3 << selected({ 3 });
    // Ctrl with the arrow keys moves the starter itself; Alt moves the current row alone.
    QTest::newRow("alt+down moves but keeps the flags")
        << 3 << QList<int> { Qt::Key_Down } << Qt::KeyboardModifiers(Qt::AltModifier) << 4 << 4 << selected({ 3 });
    QTest::newRow("end") << 3 << QList<int> { Qt::Key_End } << none << lines << lines << selected({ lines });
    QTest::newRow("home") << 40 << QList<int> { Qt::Key_Home } << none << 1 << 1 << selected({ 1 });
    QTest::newRow("page down") << 3 << QList<int> { Qt::Key_PageDown } << none << -1 << -1 << QList<int>();
    QTest::newRow("right moves the column only")
        << 3 << QList<int> { Qt::Key_Right } << none << 3 << 3 << selected({ 3 });
}

void TestGridSelection::keys()
{
    QFETCH(int, current);
    QFETCH(QList<int>, keys);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, row);
    QFETCH(int, rowSel);
    QFETCH(QList<int>, after);
    setFlags(selected({ 3 }));
    table().setRow(current);
    grid()->ensureRowVisible(current);
    repaint();
    for (int k : keys) {
        if (modifiers & Qt::ShiftModifier)
            key(QEvent::KeyPress, Qt::Key_Shift, modifiers);
        key(QEvent::KeyPress, k, modifiers);
        key(QEvent::KeyRelease, k, modifiers);
        if (modifiers & Qt::ShiftModifier)
            key(QEvent::KeyRelease, Qt::Key_Shift);
    }
    if (row < 0) { // a page: the current row moves by the rows on a page
        row = rowSel = current + grid()->visibleRows();
        after = selected({ row });
    }
    QCOMPARE(table().row(), row);
    QCOMPARE(table().rowSel(), rowSel);
    QCOMPARE(flags(), after);
    QVERIFY(paintedAsFlags());
    // Nothing is highlighted but the flags: the grid's own range is the current cell alone.
    QCOMPARE(table().colSel(), table().col());
    // The moved end stays in view.
    QVERIFY(table().topRow() <= rowSel);
    QVERIFY(rowSel < table().topRow() + grid()->visibleRows());
    QVERIFY(!station().ShiftDown());
    QVERIFY(!station().CtrlDown());
}

void TestGridSelection::eventOrder_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("click on another row") << "click 5" << QStringList { "MouseDown", "SelChange", "MouseUp" };
    QTest::newRow("click on the current cell") << "click 1" << QStringList { "MouseDown", "MouseUp" };
    QTest::newRow("double click") << "double 5"
                                  << QStringList { "MouseDown", "SelChange", "MouseUp", "MouseDown", "MouseUp" };
    QTest::newRow("right-click") << "right 1" << QStringList { "MouseDown", "MouseUp" };
    QTest::newRow("click on the header") << "click 0" << QStringList {};
    QTest::newRow("down key") << "down" << QStringList { "KeyDown", "SelChange", "KeyUp" };
    QTest::newRow("held down key repeats without KeyUp")
        << "repeat" << QStringList { "KeyDown", "SelChange", "KeyDown", "SelChange", "KeyUp" };
    QTest::newRow("letter: no type-ahead") << "letter" << QStringList { "KeyDown", "KeyUp" };
    QTest::newRow("tab leaves the grid") << "tab" << QStringList {};
    QTest::newRow("row set by a command") << "command" << QStringList {};
}

void TestGridSelection::eventOrder()
{
    QFETCH(QString, input);
    QFETCH(QStringList, events);
    const QStringList words = input.split(QLatin1Char(' '));
    const int row = words.size() > 1 ? words[1].toInt() : 1;
    if (words[0] == QLatin1String("click")) {
        QTest::mouseClick(cells(), Qt::LeftButton, {}, cellCentre(row));
    } else if (words[0] == QLatin1String("double")) {
        QTest::mouseClick(cells(), Qt::LeftButton, {}, cellCentre(row));
        QTest::mouseDClick(cells(), Qt::LeftButton, {}, cellCentre(row));
        QTest::mouseRelease(cells(), Qt::LeftButton, {}, cellCentre(row));
    } else if (words[0] == QLatin1String("right")) {
        QTest::mouseClick(cells(), Qt::RightButton, {}, cellCentre(row));
    } else if (words[0] == QLatin1String("down")) {
        key(QEvent::KeyPress, Qt::Key_Down);
        key(QEvent::KeyRelease, Qt::Key_Down);
    } else if (words[0] == QLatin1String("repeat")) {
        key(QEvent::KeyPress, Qt::Key_Down);
        key(QEvent::KeyRelease, Qt::Key_Down, {}, true);
        key(QEvent::KeyPress, Qt::Key_Down, {}, true);
        key(QEvent::KeyRelease, Qt::Key_Down);
        QCOMPARE(table().row(), 3);
    } else if (words[0] == QLatin1String("letter")) {
        key(QEvent::KeyPress, Qt::Key_R);
        key(QEvent::KeyRelease, Qt::Key_R);
        QCOMPARE(table().row(), 1);
    } else if (words[0] == QLatin1String("tab")) {
        key(QEvent::KeyPress, Qt::Key_Tab);
        QVERIFY(!grid()->hasFocus());
    } else if (words[0] == QLatin1String("command")) {
        table().setRow(7);
        table().setRowSel(9);
        table().setTopRow(4);
    }
    QCOMPARE(m_events, events);
}

void TestGridSelection::repaintKeepsPosition()
{
    setFlags(selected({ 3, 30 }));
    table().setRow(25);
    table().setCol(5);
    table().setRowSel(21);
    table().setColSel(7);
    table().setTopRow(18);
    table().setLeftCol(2);
    m_events.clear();
    repaint();
    QVERIFY(paintedAsFlags());
    QCOMPARE(flags(), selected({ 3, 30 }));
    QCOMPARE(table().row(), 25);
    QCOMPARE(table().col(), 5);
    QCOMPARE(table().rowSel(), 21);
    QCOMPARE(table().colSel(), 7);
    QCOMPARE(table().topRow(), 18);
    QCOMPARE(table().leftCol(), 2);
    QCOMPARE(grid()->verticalScrollBar()->value(), 18 - 1);
    QCOMPARE(m_events, QStringList());
}

void TestGridSelection::wheel_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<int>("topRow");
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<QPoint>("pixels");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("gridShown");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("gridFocus");

    const QPoint towards(0, -120);
    const QPoint away(0, 120);
    const Qt::KeyboardModifiers none;
    const int bottom = -1; // the last full page
    QTest::newRow("towards the user scrolls down")
        << Place::Grid << 10 << towards << QPoint() << none << true << 11 << true;
    QTest::newRow("away from the user scrolls up")
        << Place::Grid << 10 << away << QPoint() << none << true << 9 << true;
    QTest::newRow("three notches at once, one row")
        << Place::Grid << 10 << QPoint(0, -360) << QPoint() << none << true << 11 << true;
    QTest::newRow("part of a notch, one row")
        << Place::Grid << 10 << QPoint(0, 15) << QPoint() << none << true << 9 << true;
    QTest::newRow("pixels only") << Place::Grid << 10 << QPoint() << QPoint(0, -4) << none << true << 11 << true;
    // X11 reports the wheel turned with Alt held as sideways movement.
    const Qt::KeyboardModifiers alt(Qt::AltModifier);
    QTest::newRow("alt, away: sideways, one row up")
        << Place::Grid << 10 << QPoint(120, 0) << QPoint() << alt << true << 9 << true;
    QTest::newRow("alt, towards: sideways, one row down")
        << Place::Grid << 10 << QPoint(-120, 0) << QPoint() << alt << true << 11 << true;
    QTest::newRow("at the top, focus all the same")
        << Place::Grid << 1 << away << QPoint() << none << true << 1 << true;
    QTest::newRow("at the bottom, focus all the same")
        << Place::Grid << bottom << towards << QPoint() << none << true << bottom << true;
    QTest::newRow("shift ignored") << Place::Grid << 10 << towards << QPoint()
                                   << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << 11 << true;
    QTest::newRow("ctrl ignored") << Place::Grid << 10 << away << QPoint() << Qt::KeyboardModifiers(Qt::ControlModifier)
                                  << true << 9 << true;
    QTest::newRow("over the grid's scroll bar, one row")
        << Place::GridScrollBar << 10 << towards << QPoint() << none << true << 11 << true;
    QTest::newRow("over the strip") << Place::Strip << 10 << towards << QPoint() << none << true << 10 << false;
    QTest::newRow("over a button in the strip")
        << Place::StripButton << 10 << towards << QPoint() << none << true << 10 << false;
    QTest::newRow("over a move button") << Place::MoveButton << 10 << towards << QPoint() << none << true << 10
                                        << false;
    QTest::newRow("over the title") << Place::Title << 10 << towards << QPoint() << none << true << 10 << false;
    QTest::newRow("no file loaded, grid hidden")
        << Place::Grid << 10 << towards << QPoint() << none << false << 10 << false;
}

void TestGridSelection::wheel()
{
    QFETCH(Place, place);
    QFETCH(int, topRow);
    QFETCH(QPoint, angle);
    QFETCH(QPoint, pixels);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, gridShown);
    QFETCH(int, expected);
    QFETCH(bool, gridFocus);
    if (topRow < 0)
        topRow = table().maxTopRow();
    if (expected < 0)
        expected = table().maxTopRow();
    table().setRow(12);
    table().setRowSel(14);
    QVERIFY(table().setTopRow(topRow));
    QCOMPARE(table().topRow(), topRow);
    m_kit->button(knoppen::Openen)->setFocus(Qt::OtherFocusReason);
    grid()->setVisible(gridShown);

    // The wheel is aimed at a point of the window; Qt hands it to whatever widget lies there.
    QPoint at;
    switch (place) {
    case Place::Grid:
        at = cells()->mapToGlobal(cellCentre(topRow + 2));
        break;
    case Place::GridScrollBar:
        QVERIFY(grid()->verticalScrollBar()->isVisible());
        at = grid()->verticalScrollBar()->mapToGlobal(grid()->verticalScrollBar()->rect().center());
        break;
    case Place::Strip: {
        const QWidget* strip = m_window->findChild<QWidget*>(QStringLiteral("Picture1"));
        at = strip->mapToGlobal(QPoint(strip->width() - 40, 10));
        break;
    }
    case Place::StripButton:
        at = centreOf(m_kit->button(knoppen::Groter));
        break;
    case Place::MoveButton:
        at = centreOf(m_kit->moveButton(regels::Richting::Omlaag));
        break;
    case Place::Title:
        at = centreOf(m_kit->label(QStringLiteral("lblTitel")));
        break;
    }
    wheelAt(at, angle, pixels, modifiers);

    QCOMPARE(table().topRow(), expected);
    QCOMPARE(grid()->hasFocus(), gridFocus);
    // The wheel moves the view only.
    QCOMPARE(table().row(), 12);
    QCOMPARE(table().rowSel(), 14);
    QCOMPARE(m_events, QStringList());
    grid()->show();
}

void TestGridSelection::wheelOnMonitorAboveAndLeft()
{
    const QPoint home = m_window->pos();
    m_window->move(-1200, -700);
    QTRY_VERIFY(grid()->mapToGlobal(QPoint(0, 0)).x() < 0);
    QVERIFY(grid()->mapToGlobal(QPoint(0, 0)).y() < 0);
    table().setTopRow(10);
    wheelAt(cells()->mapToGlobal(cellCentre(12)), QPoint(0, -120), QPoint(), {});
    QCOMPARE(table().topRow(), 11);
    QVERIFY(grid()->hasFocus());
    m_window->move(home);
}

QTEST_MAIN(TestGridSelection)
#include "tst_gridselection.moc"
