// The wheel rules for the kinds of control and the places the main window does not have (scroll bars, list
// and text boxes, hidden and disabled controls, a monitor left of the primary), without a display. The
// grid's own wheel behaviour is driven on the real window in tst_gridselection.
#include "scrollmouse.h"

#include <QTest>

using namespace codeScrollMouse;

Q_DECLARE_METATYPE(std::vector<codeScrollMouse::WheelControl>)
Q_DECLARE_METATYPE(codeScrollMouse::WheelAction)

namespace {

WheelControl control(
    ControlKind kind, ScreenRect rect, bool visible = true, bool enabled = true, const QString& name = QString())
{
    WheelControl c;
    c.kind = kind;
    c.name = name;
    c.rect = rect;
    c.visible = visible;
    c.enabled = enabled;
    return c;
}

// A label is no window of its own: it has no rectangle and is never under the pointer.
WheelControl label()
{
    WheelControl c;
    c.visible = true;
    c.enabled = true;
    return c;
}

// The main window's layout in screen pixels: a button strip with buttons in it, a button below it, the grid.
const ScreenRect strip { 100, 100, 800, 133 };
const ScreenRect stripButton { 104, 103, 137, 128 };
const ScreenRect moveButton { 108, 148, 141, 179 };
const ScreenRect gridRect { 108, 220, 700, 600 };

} // namespace

class TestScrollMouse : public QObject
{
    Q_OBJECT

private slots:
    void direction_data();
    void direction();
    void pointInWindow_data();
    void pointInWindow();
    void underPointer_data();
    void underPointer();
    void scrollBar_data();
    void scrollBar();
};

void TestScrollMouse::direction_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<QPoint>("pixels");
    QTest::addColumn<int>("direction");

    QTest::newRow("away from the user") << QPoint(0, 120) << QPoint() << 1;
    QTest::newRow("towards the user") << QPoint(0, -120) << QPoint() << -1;
    QTest::newRow("part of a notch") << QPoint(0, -8) << QPoint(0, -1) << -1;
    // X11 reports the wheel turned with Alt held along the other axis, the sign kept.
    QTest::newRow("with Alt, away: sideways") << QPoint(120, 0) << QPoint() << 1;
    QTest::newRow("with Alt, towards: sideways") << QPoint(-120, 0) << QPoint() << -1;
    QTest::newRow("both axes: the vertical counts") << QPoint(120, -120) << QPoint() << -1;
    QTest::newRow("pixels only") << QPoint() << QPoint(0, 4) << 1;
    QTest::newRow("pixels only, sideways") << QPoint() << QPoint(-3, 0) << -1;
    QTest::newRow("angle before pixels") << QPoint(0, 120) << QPoint(0, -4) << 1;
    QTest::newRow("no movement") << QPoint() << QPoint() << 0;
}

void TestScrollMouse::direction()
{
    QFETCH(QPoint, angle);
    QFETCH(QPoint, pixels);
    QFETCH(int, direction);
    QCOMPARE(ScrollMouse_Direction(angle, pixels), direction);
}

void TestScrollMouse::pointInWindow_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("inside");
    // Rectangle left -300, top -200, right -100, bottom 0: a monitor left of and above the primary one.
    QTest::newRow("middle, negative coordinates") << -200 << -100 << true;
    QTest::newRow("top-left corner") << -300 << -200 << true;
    QTest::newRow("right and bottom edges count") << -100 << 0 << true;
    QTest::newRow("left of it") << -301 << -100 << false;
    QTest::newRow("right of it") << -99 << -100 << false;
    QTest::newRow("above it") << -200 << -201 << false;
    QTest::newRow("below it") << -200 << 1 << false;
}

void TestScrollMouse::pointInWindow()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, inside);
    QCOMPARE(ScrollMouse_PointInWindow(ScreenRect { -300, -200, -100, 0 }, x, y), inside);
}

void TestScrollMouse::underPointer_data()
{
    QTest::addColumn<std::vector<WheelControl>>("controls");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<WheelAction>("action");
    QTest::addColumn<int>("acted");
    QTest::addColumn<bool>("focus");

    const std::vector<WheelControl> window = { control(ControlKind::Other, stripButton),
        control(ControlKind::PictureBox, strip, true, true, QStringLiteral("Picture1")),
        control(ControlKind::PictureBox, { 600, 300, 700, 330 }, false, true, QStringLiteral("picTemp")),
        control(ControlKind::Other, moveButton), control(ControlKind::Grid, gridRect), label() };
    QTest::newRow("grid scrolls and takes the focus")
        << window << -1 << QPoint(300, 400) << WheelAction::ScrollGrid << 4 << true;
    QTest::newRow("grid at its bottom-right edge")
        << window << 1 << QPoint(700, 600) << WheelAction::ScrollGrid << 4 << true;
    QTest::newRow("no vertical movement does nothing")
        << window << 0 << QPoint(300, 400) << WheelAction::Nothing << -1 << false;
    QTest::newRow("button in the strip ends at the strip")
        << window << -1 << QPoint(120, 110) << WheelAction::Nothing << -1 << false;
    QTest::newRow("strip itself") << window << 1 << QPoint(500, 110) << WheelAction::Nothing << -1 << false;
    QTest::newRow("move button below the strip")
        << window << -1 << QPoint(120, 160) << WheelAction::Nothing << -1 << false;
    QTest::newRow("hidden picture box over the grid is passed over")
        << window << -1 << QPoint(650, 310) << WheelAction::ScrollGrid << 4 << true;
    QTest::newRow("outside every control") << window << -1 << QPoint(900, 900) << WheelAction::Nothing << -1 << false;

    std::vector<WheelControl> hiddenGrid = window;
    hiddenGrid[4].visible = false;
    QTest::newRow("hidden grid does nothing")
        << hiddenGrid << -1 << QPoint(300, 400) << WheelAction::Nothing << -1 << false;

    std::vector<WheelControl> disabledGrid = window;
    disabledGrid[4].enabled = false;
    QTest::newRow("disabled grid scrolls without the focus")
        << disabledGrid << 1 << QPoint(300, 400) << WheelAction::ScrollGrid << 4 << false;

    std::vector<WheelControl> withBar = window;
    withBar.push_back(control(ControlKind::VScrollBar, { 900, 0, 916, 500 }, true, true, QStringLiteral("VScroll1")));
    QTest::newRow("picture box scrolls VScroll1")
        << withBar << -1 << QPoint(500, 110) << WheelAction::ScrollBar << 6 << false;
    QTest::newRow("scroll bar under the pointer")
        << withBar << -1 << QPoint(905, 300) << WheelAction::ScrollBar << 6 << false;

    const std::vector<WheelControl> boxes = { control(ControlKind::ListBox, { 0, 0, 100, 100 }),
        control(ControlKind::TextBox, { 200, 0, 300, 100 }, true, false),
        control(ControlKind::ComboBox, { 400, 0, 500, 100 }) };
    QTest::newRow("list box takes the focus only")
        << boxes << -1 << QPoint(50, 50) << WheelAction::FocusOnly << 0 << true;
    QTest::newRow("disabled text box ends the search")
        << boxes << -1 << QPoint(250, 50) << WheelAction::Nothing << -1 << false;
    QTest::newRow("combo box takes the focus only")
        << boxes << 1 << QPoint(450, 50) << WheelAction::FocusOnly << 2 << true;

    const std::vector<WheelControl> leftMonitor = { control(ControlKind::Grid, { -1500, -400, -900, 200 }) };
    QTest::newRow("grid on a monitor left of and above the primary")
        << leftMonitor << 1 << QPoint(-1000, -10) << WheelAction::ScrollGrid << 0 << true;
}

void TestScrollMouse::underPointer()
{
    QFETCH(std::vector<WheelControl>, controls);
    QFETCH(int, direction);
    QFETCH(QPoint, at);
    QFETCH(WheelAction, action);
    QFETCH(int, acted);
    QFETCH(bool, focus);
    const WheelDecision decision = ScrollMouse_ScrollUnderPointer(controls, direction, at.x(), at.y());
    QCOMPARE(decision.action, action);
    QCOMPARE(decision.control, acted);
    QCOMPARE(decision.giveFocus, focus);
}

void TestScrollMouse::scrollBar_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("expected");
    // Min 10, Max 100, SmallChange 7.
    QTest::newRow("down") << 50 << -1 << 57;
    QTest::newRow("up") << 50 << 1 << 43;
    QTest::newRow("down stops at Max") << 98 << -1 << 100;
    QTest::newRow("up stops at Min") << 12 << 1 << 10;
}

void TestScrollMouse::scrollBar()
{
    QFETCH(int, value);
    QFETCH(int, direction);
    QFETCH(int, expected);
    QCOMPARE(ScrollMouse_ScrollBar(value, 7, 10, 100, direction), expected);
}

QTEST_APPLESS_MAIN(TestScrollMouse)
#include "tst_scrollmouse.moc"
