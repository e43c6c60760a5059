#include "classfile.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "settingsstore.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QMessageLogContext>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>

namespace {

// The main window as built, before its load handler runs: every control as designed.
class BuiltWindow
{
public:
    BuiltWindow()
        : m_window(m_kit.makeStation(), withoutSplash())
    {
    }

    Station& station() { return m_kit.station(); }
    FrmBaldovenaar& window() { return m_window; }
    QWidget* control(const QString& name) const { return m_window.findChild<QWidget*>(name); }

private:
    static FrmBaldovenaar::Options withoutSplash()
    {
        FrmBaldovenaar::Options options;
        options.showSplash = false;
        return options;
    }

    testsupport::StationFixture m_kit;
    FrmBaldovenaar m_window;
};

enum class File { None, OfToday };

// The main window as the station starts: loaded, shown, on screen and active, following a class of today
// from the last run (the file named in the settings), or none.
bool start(testsupport::WindowFixture& kit, File file)
{
    if (file == File::OfToday) {
        if (!kit.publish(testsupport::classBytes("1 2 3 P 4 5 6"))
            || !SettingsStore::forUser()->setValue(
                QStringLiteral("Baldovenaar"), QStringLiteral("lastfile"), kit.classPath()))
            return false;
    }
    FrmBaldovenaar& window = kit.makeWindow();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

QWidget* control(testsupport::WindowFixture& kit, const QString& name)
{
    return kit.window().findChild<QWidget*>(name);
}

QStringList childWidgetNames(const QWidget* container)
{
    QStringList names;
    for (const QObject* child : container->children()) {
        if (child->isWidgetType())
            names << child->objectName();
    }
    return names;
}

QtMessageHandler& earlierHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

// The offscreen platform says at every window it shows that it keeps no size hints; nothing here needs
// them.
void withoutSizeHintNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (earlierHandler())
        earlierHandler()(type, context, message);
}

QColor pixelAt(QWidget* widget, QPoint point)
{
    return widget->grab().toImage().pixelColor(point);
}

// The button bar's back colour &H00EFF7F7&.
const QColor buttonBack(0xF7, 0xF7, 0xEF);

} // namespace

// The main window's composition: every control with its name, container, place, stacking, font,
// colours, picture, tooltip and tab order, the menu, the timers and the window itself.
class TestComposition : public QObject
{
    Q_OBJECT

public:
    static void initMain();

private slots:
    void initTestCase();

    void geometry_data();
    void geometry();
    void stackingOrder_data();
    void stackingOrder();
    void fonts_data();
    void fonts();
    void buttonFaces_data();
    void buttonFaces();
    void stripIsPaintedWithItsRules_data();
    void stripIsPaintedWithItsRules();
    void tooltips_data();
    void tooltips();
    void stateAfterLoad_data();
    void stateAfterLoad();
    void tabWalksTheControlsInOrder_data();
    void tabWalksTheControlsInOrder();
    void picTempNeverShownNorFocused();
    void timers();
    void menuBar();
    void commandsReachTheirHandler_data();
    void commandsReachTheirHandler();
    void window();
};

void TestComposition::initMain()
{
    // The window keeps its design size only on a screen that holds it; the offscreen platform's own
    // screen (800 × 800) does not, so these tests get a larger one unless a platform was chosen otherwise.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" BALDOVENAAR_TEST_DATA "/large-screen.json");
}

void TestComposition::initTestCase()
{
    earlierHandler() = qInstallMessageHandler(withoutSizeHintNotice);
}

void TestComposition::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("designed");
    // At the first display the resize handler has fitted the strip, the indicator, the heading labels and
    // the grid to the 915-pixel (13725-twip) client width and 608-pixel height; everything else stays.
    QTest::addColumn<QRect>("shown");

    const QString client = QStringLiteral("clientArea");
    const QString strip = QStringLiteral("Picture1");
    auto same = [](QRect rect) { return rect; };
    QTest::newRow("btnKnop5") << "btnKnop5" << client << QRect(48, 48, 33, 60) << same(QRect(48, 48, 33, 60));
    QTest::newRow("btnKnop1") << "btnKnop1" << client << QRect(88, 48, 57, 60) << same(QRect(88, 48, 57, 60));
    QTest::newRow("Picture1 takes the client width")
        << "Picture1" << client << QRect(0, 0, 705, 33) << QRect(0, 0, 915, 33);
    QTest::newRow("btnKnop3") << "btnKnop3" << strip << QRect(80, 3, 33, 25) << same(QRect(80, 3, 33, 25));
    QTest::newRow("btnKnop0") << "btnKnop0" << strip << QRect(4, 3, 33, 25) << same(QRect(4, 3, 33, 25));
    QTest::newRow("btnKnop2") << "btnKnop2" << strip << QRect(48, 3, 33, 25) << same(QRect(48, 3, 33, 25));
    // 13725 − 120 − 375 twips.
    QTest::newRow("lblMutatie keeps 120 twips to the right edge")
        << "lblMutatie" << strip << QRect(184, 3, 25, 25) << QRect(882, 3, 25, 25);
    QTest::newRow("Line4 runs the full width") << "Line4" << strip << QRect(0, 32, 40, 1) << QRect(0, 32, 915, 1);
    QTest::newRow("Line3 runs the full width") << "Line3" << strip << QRect(0, 31, 40, 1) << QRect(0, 31, 915, 1);
    QTest::newRow("Line2 runs the full width") << "Line2" << strip << QRect(0, 1, 40, 1) << QRect(0, 1, 915, 1);
    QTest::newRow("Line1 runs the full width") << "Line1" << strip << QRect(0, 0, 40, 1) << QRect(0, 0, 915, 1);
    QTest::newRow("btnKnop4") << "btnKnop4" << client << QRect(152, 48, 57, 60) << same(QRect(152, 48, 57, 60));
    // 445 and 460 twips are not whole pixels: 29.67 and 30.67 round to 30 and 31.
    QTest::newRow("btnVerplaatsregels1") << "btnVerplaatsregels1" << client << QRect(8, 78, 33, 30)
                                         << same(QRect(8, 78, 33, 30));
    // 13725 − 120 − 120 by 9120 − 1800 − 120 − 600 twips: the status line below the grid, as tall as its letters,
    // which are as large as the list's at the zoom, and the gap above it.
    QTest::newRow("grid1 fills the window to the status line")
        << "grid1" << client << QRect(8, 120, 313, 177) << QRect(8, 120, 899, 440);
    QTest::newRow("picTemp") << "picTemp" << client << QRect(648, 176, 121, 25) << same(QRect(648, 176, 121, 25));
    QTest::newRow("btnVerplaatsregels0") << "btnVerplaatsregels0" << client << QRect(8, 48, 33, 31)
                                         << same(QRect(8, 48, 33, 31));
    // 13725 − 3720 − 120 twips; each label starts one pixel above the bottom of the one before it.
    QTest::newRow("lblBegintijd stretches to the right edge")
        << "lblBegintijd" << client << QRect(248, 94, 521, 23) << QRect(248, 94, 659, 23);
    QTest::newRow("lblDatum stretches to the right edge")
        << "lblDatum" << client << QRect(248, 72, 521, 23) << QRect(248, 72, 659, 23);
    QTest::newRow("lblTitel stretches to the right edge")
        << "lblTitel" << client << QRect(248, 40, 521, 33) << QRect(248, 40, 659, 33);
}

void TestComposition::geometry()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, designed);
    QFETCH(QRect, shown);

    BuiltWindow built;
    QWidget* designedControl = built.control(name);
    QVERIFY(designedControl);
    QVERIFY(designedControl->parentWidget());
    QCOMPARE(designedControl->parentWidget()->objectName(), container);
    QCOMPARE(designedControl->geometry(), designed);

    testsupport::WindowFixture started;
    QVERIFY(start(started, File::OfToday));
    QCOMPARE(started.window().centralWidget()->size(), QSize(915, 608));
    QCOMPARE(control(started, name)->geometry(), shown);
}

void TestComposition::stackingOrder_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QStringList>("bottomToTop");

    QTest::newRow("client area") << "clientArea"
                                 << QStringList { "lblTitel", "lblDatum", "lblBegintijd", "btnVerplaatsregels0",
                                        "picTemp", "grid1", "btnVerplaatsregels1", "btnKnop4", "Picture1", "btnKnop1",
                                        "btnKnop5", "statusLine" };
    QTest::newRow("button strip") << "Picture1"
                                  << QStringList { "Line1", "Line2", "Line3", "Line4", "lblMutatie", "btnKnop2",
                                         "btnKnop0", "btnKnop3" };
}

void TestComposition::stackingOrder()
{
    QFETCH(QString, container);
    QFETCH(QStringList, bottomToTop);

    testsupport::WindowFixture kit;
    QVERIFY(start(kit, File::OfToday));
    QWidget* parent = control(kit, container);
    QVERIFY(parent);
    // A widget's children are kept in stacking order, the lowest first.
    QCOMPARE(childWidgetNames(parent), bottomToTop);
}

void TestComposition::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("btnKnop1 NG") << "btnKnop1" << 15.75 << true;
    QTest::newRow("btnKnop3 large a") << "btnKnop3" << 15.75 << true;
    QTest::newRow("btnKnop2 small a") << "btnKnop2" << 9.0 << true;
    QTest::newRow("picTemp measures in Arial") << "picTemp" << 8.25 << false;
    QTest::newRow("lblBegintijd") << "lblBegintijd" << 14.25 << true;
    QTest::newRow("lblDatum") << "lblDatum" << 14.25 << true;
    QTest::newRow("lblTitel") << "lblTitel" << 20.25 << true;
}

void TestComposition::fonts()
{
    QFETCH(QString, name);
    QFETCH(double, points);
    QFETCH(bool, bold);

    // As built: the layout gives picTemp the grid's size later on.
    BuiltWindow built;
    const QWidget* control = built.control(name);
    QVERIFY(control);
    const QFont font = control->font();
    QCOMPARE(font.family(), QStringLiteral("Arial"));
    // Liberation Sans has Arial's metrics, so text takes the room it took on the ring's Windows machines.
    const QString resolved = QFontInfo(font).family();
    QVERIFY2(
        resolved == QStringLiteral("Liberation Sans") || resolved == QStringLiteral("Arial"), qPrintable(resolved));
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.weight(), bold ? QFont::Bold : QFont::Normal);
}

void TestComposition::buttonFaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("pictureSize"); // empty: no picture

    QTest::newRow("btnKnop0 open") << "btnKnop0" << QString() << QSize(16, 16);
    QTest::newRow("btnKnop1 NG") << "btnKnop1"
                                 << "NG" << QSize();
    QTest::newRow("btnKnop2 small a") << "btnKnop2"
                                      << "a" << QSize();
    QTest::newRow("btnKnop3 large a") << "btnKnop3"
                                      << "a" << QSize();
    QTest::newRow("btnKnop4 send") << "btnKnop4" << QString() << QSize(35, 26);
    QTest::newRow("btnKnop5 swap") << "btnKnop5" << QString() << QSize(16, 16);
    QTest::newRow("btnVerplaatsregels0 up") << "btnVerplaatsregels0" << QString() << QSize(16, 16);
    QTest::newRow("btnVerplaatsregels1 down") << "btnVerplaatsregels1" << QString() << QSize(16, 16);
}

void TestComposition::buttonFaces()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QSize, pictureSize);

    testsupport::WindowFixture kit;
    QVERIFY(start(kit, File::OfToday));
    auto* button = qobject_cast<QPushButton*>(control(kit, name));
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->palette().color(QPalette::Button), buttonBack);
    QVERIFY(button->autoFillBackground());

    if (pictureSize.isEmpty()) {
        QVERIFY(button->icon().isNull());
    } else {
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->iconSize(), pictureSize);
        const QPixmap picture = button->icon().pixmap(pictureSize);
        QCOMPARE(picture.deviceIndependentSize().toSize(), pictureSize);
        QVERIFY(!picture.toImage().isNull());
    }

    // The face shows the bar's colour whatever the desktop's style: sampled beside the caption or picture,
    // where the face's shading keeps close to the colour itself.
    const QColor face = pixelAt(button, QPoint(4, button->height() / 2));
    QVERIFY2(qAbs(face.red() - buttonBack.red()) <= 24 && qAbs(face.green() - buttonBack.green()) <= 24
            && qAbs(face.blue() - buttonBack.blue()) <= 24,
        qPrintable(face.name()));
}

void TestComposition::stripIsPaintedWithItsRules_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<QColor>("colour");

    // Sampled far right, past the buttons and the indicator's design place, where only the rules reach
    // once the strip has taken the window's width.
    QTest::newRow("Line1 grey at the top edge") << 0 << QColor(0x80, 0x80, 0x80);
    QTest::newRow("Line2 white below it") << 1 << QColor(Qt::white);
    QTest::newRow("strip face between the rules") << 16 << buttonBack;
    QTest::newRow("Line3 grey above the bottom edge") << 31 << QColor(0x80, 0x80, 0x80);
    QTest::newRow("Line4 white at the bottom edge") << 32 << QColor(Qt::white);
}

void TestComposition::stripIsPaintedWithItsRules()
{
    QFETCH(int, y);
    QFETCH(QColor, colour);

    testsupport::WindowFixture kit;
    QVERIFY(start(kit, File::OfToday));
    QWidget* strip = control(kit, QStringLiteral("Picture1"));
    QVERIFY(strip);
    QCOMPARE(pixelAt(strip, QPoint(800, y)), colour);
}

void TestComposition::tooltips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tooltip");

    QTest::newRow("btnKnop5 swap") << "btnKnop5"
                                   << "Wissel 2 rijen om";
    QTest::newRow("btnKnop1 NG") << "btnKnop1"
                                 << "Meld als \"Niet Gestart\"";
    QTest::newRow("btnKnop4 send") << "btnKnop4"
                                   << "Verzend wijziging naar hoofd- en satelletprogramma";
    QTest::newRow("btnVerplaatsregels1 down") << "btnVerplaatsregels1"
                                              << "verplaats rij omlaag";
    QTest::newRow("btnVerplaatsregels0 up") << "btnVerplaatsregels0"
                                            << "verplaats rij omhoog";
    QTest::newRow("lblMutatie") << "lblMutatie"
                                << "Mutatie";
    QTest::newRow("btnKnop0 none") << "btnKnop0" << QString();
    QTest::newRow("btnKnop2 none") << "btnKnop2" << QString();
    QTest::newRow("btnKnop3 none") << "btnKnop3" << QString();
    QTest::newRow("Picture1 none") << "Picture1" << QString();
    QTest::newRow("grid1 none") << "grid1" << QString();
    QTest::newRow("lblTitel none") << "lblTitel" << QString();
    QTest::newRow("lblDatum none") << "lblDatum" << QString();
    QTest::newRow("lblBegintijd none") << "lblBegintijd" << QString();
}

void TestComposition::tooltips()
{
    QFETCH(QString, name);
    QFETCH(QString, tooltip);

    BuiltWindow built;
    const QWidget* control = built.control(name);
    QVERIFY(control);
    QCOMPARE(control->toolTip(), tooltip);
}

void TestComposition::stateAfterLoad_data()
{
    QTest::addColumn<bool>("fileOfToday");
    QTest::addColumn<bool>("gridShown");
    QTest::addColumn<QString>("focused");

    QTest::newRow("no file: grid hidden, focus on the open button") << false << false << "btnKnop0";
    QTest::newRow("file of today: grid shown and focused") << true << true << "grid1";
}

void TestComposition::stateAfterLoad()
{
    QFETCH(bool, fileOfToday);
    QFETCH(bool, gridShown);
    QFETCH(QString, focused);

    testsupport::WindowFixture kit;
    QVERIFY(start(kit, fileOfToday ? File::OfToday : File::None));
    FrmBaldovenaar& window = kit.window();

    QCOMPARE(kit.grid()->isVisible(), gridShown);
    QVERIFY(!control(kit, QStringLiteral("picTemp"))->isVisible());
    QVERIFY(window.focusWidget());
    QCOMPARE(window.focusWidget()->objectName(), focused);
    QCOMPARE(QApplication::focusWidget(), window.focusWidget());

    // The heading labels lose their design-time border before the first file is shown.
    for (const char* name : { "lblTitel", "lblDatum", "lblBegintijd" }) {
        const QLabel* label = kit.label(QLatin1String(name));
        QCOMPARE(label->frameShape(), QFrame::NoFrame);
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(!label->autoFillBackground());
    }

    // The indicator starts white, inside its single-line border.
    QLabel* indicator = kit.label(QStringLiteral("lblMutatie"));
    QVERIFY(kit.station().listNews() != ListNews::New);
    QCOMPARE(pixelAt(indicator, indicator->rect().center()), QColor(Qt::white));
    QVERIFY(pixelAt(indicator, QPoint(0, 0)) != QColor(Qt::white));

    // The window's own face, in the left margin beside the grid: the system button face.
    QCOMPARE(pixelAt(window.centralWidget(), QPoint(3, 300)), window.palette().color(QPalette::Button));
}

void TestComposition::tabWalksTheControlsInOrder_data()
{
    QTest::addColumn<bool>("fileOfToday");
    QTest::addColumn<QStringList>("walk");

    // The move buttons take no focus (the grid keeps it while a line moves); the tab walk passes over
    // disabled buttons: the send button while nothing is to be sent, and in the empty view also the
    // swap and NG buttons.
    QTest::newRow("grid shown: from the grid round to it")
        << true << QStringList { "grid1", "btnKnop0", "btnKnop2", "btnKnop3", "btnKnop5", "btnKnop1", "grid1" };
    QTest::newRow("grid hidden: from the open button round to it")
        << false << QStringList { "btnKnop0", "btnKnop2", "btnKnop3", "btnKnop0" };
}

void TestComposition::tabWalksTheControlsInOrder()
{
    QFETCH(bool, fileOfToday);
    QFETCH(QStringList, walk);

    testsupport::WindowFixture kit;
    QVERIFY(start(kit, fileOfToday ? File::OfToday : File::None));

    // The chain itself holds every focusable control, hidden or not, in the designed order.
    QStringList chain;
    QWidget* grid = kit.grid();
    for (QWidget* widget = grid->nextInFocusChain(); widget != grid; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
    }
    QCOMPARE(chain, (QStringList { "btnKnop0", "btnKnop2", "btnKnop3", "btnKnop5", "btnKnop1", "btnKnop4" }));

    QStringList visited { QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString() };
    for (qsizetype step = 1; step < walk.size(); ++step) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
        visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    QCOMPARE(visited, walk);
}

void TestComposition::picTempNeverShownNorFocused()
{
    testsupport::WindowFixture kit;
    QVERIFY(start(kit, File::OfToday));
    FrmBaldovenaar& window = kit.window();
    QWidget* picTemp = control(kit, QStringLiteral("picTemp"));

    QCOMPARE(picTemp->focusPolicy(), Qt::NoFocus);
    QCOMPARE(picTemp->palette().color(QPalette::Window), picTemp->palette().color(QPalette::Base));
    picTemp->setFocus(Qt::OtherFocusReason);
    QVERIFY(QApplication::focusWidget() != picTemp);

    // Relayouts, a zoom and a minimise and restore leave it hidden.
    window.resize(1200, 800);
    kit.button(knoppen::Groter)->click();
    window.showMinimized();
    window.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!picTemp->isVisible());
    QVERIFY(picTemp->isHidden());
    // Measuring stays in the grid's family whatever size the layout gives it.
    QCOMPARE(picTemp->font().family(), QStringLiteral("Arial"));

    // Only grid(1) is a widget: the snapshot and the scratch list can never be shown.
    QCOMPARE(window.findChildren<FlexGrid*>().size(), 1);
}

void TestComposition::timers()
{
    BuiltWindow built;
    const Station& station = built.station();
    QCOMPARE(station.timer1()->objectName(), QStringLiteral("Timer1"));
    QCOMPARE(station.timerRegelsVerplaatsen()->objectName(), QStringLiteral("TimerRegelsVerplaatsen"));
    // Timer1 starts only once the load handler is done.
    QVERIFY(!station.timer1()->isActive());

    built.window().Form_Load();
    QCOMPARE(station.timer1()->interval(), 5000);
    QVERIFY(!station.timer1()->isSingleShot());
    QVERIFY(station.timer1()->isActive());
    QCOMPARE(station.timerRegelsVerplaatsen()->interval(), 100);
    QVERIFY(!station.timerRegelsVerplaatsen()->isActive());
}

void TestComposition::menuBar()
{
    BuiltWindow built;
    FrmBaldovenaar& window = built.window();

    // Each menu and its items: object name, text and the shortcut keys shown beside it.
    QStringList layout;
    for (const QAction* top : window.menuBar()->actions()) {
        if (!top->isVisible())
            continue;
        layout << (top->menu() ? top->menu()->objectName() : top->objectName()) + u' ' + top->text();
        if (!top->menu())
            continue;
        for (const QAction* item : top->menu()->actions()) {
            QString line
                = QStringLiteral("  ") + item->objectName() + u' ' + (item->isSeparator() ? "-" : item->text());
            for (const QKeySequence& key : item->shortcuts())
                line += QStringLiteral(" [%1]").arg(key.toString());
            layout << line;
        }
    }
    QCOMPARE(layout,
        (QStringList { "mnuBestand &Bestand", "  mnuBestandSub0 &Openen [Ctrl+O]", "  mnuLogboek &Logboek openen",
            "  mnuBestandSub2 -", "  mnuBestandSub3 &Afsluiten", "mnuBewerken Be&werken",
            "  mnuOngedaanMaken &Ongedaan maken [Ctrl+Z]", "  mnuOpnieuw Opn&ieuw [Ctrl+Y] [Ctrl+Shift+Z]", "   -",
            "  mnuOpnieuwToepassen Opnieuw &toepassen", "   -", "  mnuVerplaatsOmhoog Verplaats rij om&hoog [Ctrl+Up]",
            "  mnuVerplaatsOmlaag Verplaats rij om&laag [Ctrl+Down]", "  mnuWissel &Wissel 2 rijen om [Ctrl+W]",
            "  mnuNietGestart Meld als \"&Niet Gestart\" [Ctrl+N]", "   -",
            "  mnuVerzenden &Verzend wijziging [Ctrl+Return] [Ctrl+Enter]", "mnuBeeld Bee&ld",
            "  mnuKleiner &Kleiner [Ctrl+-]", "  mnuGroter &Groter [Ctrl++] [Ctrl+=]", "  mnuPassend &Passend [Ctrl+0]",
            "   -", "  mnuZonlicht &Zonlicht", "   -", "  mnuRuiterscherm &Ruiterscherm [Ctrl+R]",
            "  mnuRuiterschermSchermvullend Ruiterscherm &schermvullend [F11]",
            "  mnuVolgendeInDeRing &Volgende in de ring [F8]", "  mnuVorigeInDeRing V&orige [Shift+F8]",
            "mnuHelp &Help", "  mnuHandleiding &Handleiding [F1]", "  mnuOverBaldovenaar &Over Baldovenaar" }));
}

void TestComposition::commandsReachTheirHandler_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("chooserCalls");
    QTest::addColumn<double>("scaleFactor");
    QTest::addColumn<bool>("stillOpen");

    QTest::newRow("btnKnop0 opens a file") << "btnKnop0" << 1 << 1.0 << true;
    QTest::newRow("btnKnop2 zooms out") << "btnKnop2" << 0 << 0.9 << true;
    QTest::newRow("btnKnop3 zooms in") << "btnKnop3" << 0 << 1.2 << true;
    QTest::newRow("Openen opens a file") << "mnuBestandSub0" << 1 << 1.0 << true;
    QTest::newRow("Afsluiten closes the station") << "mnuBestandSub3" << 0 << 1.0 << false;
    QTest::newRow("Beeld > Kleiner zooms out") << "mnuKleiner" << 0 << 0.9 << true;
    QTest::newRow("Beeld > Groter zooms in") << "mnuGroter" << 0 << 1.2 << true;
}

void TestComposition::commandsReachTheirHandler()
{
    QFETCH(QString, name);
    QFETCH(int, chooserCalls);
    QFETCH(double, scaleFactor);
    QFETCH(bool, stillOpen);

    testsupport::WindowFixture kit;
    QVERIFY(start(kit, File::None));
    FrmBaldovenaar& window = kit.window();
    const double scale = kit.station().state().scale;
    const QString title = window.windowTitle();

    if (auto* button = window.findChild<QPushButton*>(name)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        auto* action = window.findChild<QAction*>(name);
        QVERIFY(action);
        action->trigger();
    }

    QCOMPARE(kit.dialogCalls.size(), chooserCalls);
    QCOMPARE(kit.station().state().scale, scale * scaleFactor);
    QCOMPARE(window.isVisible(), stillOpen);
    QCOMPARE(window.windowTitle(), title);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestComposition::window()
{
    testsupport::WindowFixture kit;
    QVERIFY(start(kit, File::None));
    FrmBaldovenaar& window = kit.window();
    QWidget* client = window.centralWidget();

    QCOMPARE(window.objectName(), QStringLiteral("frmBaldovenaar"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Korvalen Baldovenaar"));
    QCOMPARE(client->objectName(), QStringLiteral("clientArea"));
    QCOMPARE(client->size(), QSize(915, 608));
    QVERIFY(!window.isMaximized());
    QVERIFY(!window.isMinimized());

    // A standard frame: nothing that would take the title bar or its buttons away.
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(!(flags & Qt::FramelessWindowHint));
    QVERIFY(!(flags & Qt::CustomizeWindowHint)
        || (flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint)));

    if (const QScreen* screen = window.screen()) {
        // Centred with its frame; a platform may report the frame's final size only after the window
        // is mapped, so allow for the frame's thickness.
        const QSize frame = window.frameGeometry().size() - window.geometry().size();
        const QPoint offset = window.frameGeometry().center() - screen->availableGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= frame.width() + 1 && qAbs(offset.y()) <= frame.height() + 1,
            qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
    }

    const QList<QSize> iconSizes = window.windowIcon().availableSizes();
    for (const QSize size : { QSize(16, 16), QSize(32, 32), QSize(48, 48) })
        QVERIFY2(iconSizes.contains(size), qPrintable(QString::number(size.width())));

    QVERIFY(client->autoFillBackground());
    QCOMPARE(client->palette().color(QPalette::Window), window.palette().color(QPalette::Button));

    // Resizable both ways: the client area follows the window.
    const QSize frame = window.size() - client->size();
    for (const QSize clientSize : { QSize(1115, 708), QSize(715, 508) }) {
        window.resize(clientSize + frame);
        QCoreApplication::processEvents();
        QCOMPARE(client->size(), clientSize);
    }
}

QTEST_MAIN(TestComposition)
#include "tst_composition.moc"
