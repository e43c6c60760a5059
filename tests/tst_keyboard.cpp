// The station without the mouse, on the real main window: the keys as the official presses, holds and
// releases them, through the same station methods as the buttons, with the same permissions and the same ends
// of a held move; the commands' keys; the row selection and the type-ahead in the grid; the ring pointer's keys
// and its marker in the grid.
#include "classfile.h"
#include "columns.h"
#include "flexgrid.h"
#include "holdbutton.h"
#include "keycommands.h"
#include "riderboard.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>
#include <memory>

namespace {

const QString cls = QStringLiteral("a b c d e f g h");

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void heldMove_data();
    void heldMove();
    void heldMoveEnds_data();
    void heldMoveEnds();
    void commandKeys_data();
    void commandKeys();
    void typeAheadJumps();
    void ringKeysAndMarker();
    void focusFramesShow();
    void keyboardStaysInTheList_data();
    void keyboardStaysInTheList();

private:
    // Publishes the class and opens it through the window, which is then the active window with the grid's
    // focus on line `row`.
    bool open(const QByteArray& bytes, int row = 2);
    Station& station() { return m_kit->station(); }
    QString keys() { return testsupport::keysOf(station().working()); }
    // A key event as the window system delivers it, at a time of the test's choosing, to the focused widget.
    void key(QEvent::Type type, int code, Qt::KeyboardModifiers modifiers, bool autoRepeat = false, ulong time = 0);

    std::unique_ptr<testsupport::WindowFixture> m_kit;
};

void TestKeyboard::init()
{
    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
    m_kit->makeWindow();
}

void TestKeyboard::cleanup()
{
    m_kit.reset();
}

void TestKeyboard::keyboardStaysInTheList_data()
{
    QTest::addColumn<QString>("action");

    for (const char* action : { "NG clicked", "swap clicked", "send clicked", "move button clicked",
             "zoom buttons clicked", "Openen cancelled", "Openen, a file chosen", "a message box answered",
             "a question answered", "rider board opened", "rider board closed" })
        QTest::newRow(action) << QString::fromLatin1(action);
}

void TestKeyboard::keyboardStaysInTheList()
{
    QFETCH(QString, action);

    if (action == QLatin1String("a message box answered")) {
        // The station's own message box, answered as the official does.
        m_kit->realMessageBoxes = true;
        m_kit->makeWindow();
    }
    QVERIFY(open(testsupport::classBytes(cls)));
    FrmBaldovenaar& window = m_kit->window();
    FlexGrid* grid = m_kit->grid();
    QCOMPARE(QApplication::focusWidget(), grid);
    auto click = [this](knoppen::Knop knop) { QTest::mouseClick(m_kit->button(knop), Qt::LeftButton); };
    auto answerTheBox = [] {
        QTimer::singleShot(50, qApp, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
    };

    if (action == QLatin1String("NG clicked")) {
        click(knoppen::NietGestart);
    } else if (action == QLatin1String("swap clicked")) {
        m_kit->clickRow(4, Qt::ControlModifier);
        click(knoppen::Wissel);
        QCOMPARE(keys(), QStringLiteral("a d c b e f g h"));
    } else if (action == QLatin1String("send clicked")) {
        click(knoppen::NietGestart);
        click(knoppen::Verzenden);
        QVERIFY(!m_kit->mutationFiles().isEmpty());
    } else if (action == QLatin1String("move button clicked")) {
        QTest::mouseClick(m_kit->moveButton(regels::Richting::Omlaag), Qt::LeftButton);
        QCOMPARE(keys(), QStringLiteral("a c b d e f g h"));
    } else if (action == QLatin1String("zoom buttons clicked")) {
        click(knoppen::Groter);
        click(knoppen::Kleiner);
    } else if (action == QLatin1String("Openen cancelled")) {
        m_kit->answer.reset();
        click(knoppen::Openen);
        QCOMPARE(m_kit->dialogCalls.size(), 2);
    } else if (action == QLatin1String("Openen, a file chosen")) {
        m_kit->answer = m_kit->classPath();
        click(knoppen::Openen);
        QCOMPARE(m_kit->dialogCalls.size(), 2);
    } else if (action == QLatin1String("a message box answered")) {
        // A swap with one line selected is refused in a message box.
        answerTheBox();
        click(knoppen::Wissel);
        QVERIFY(!QApplication::activeModalWidget());
    } else if (action == QLatin1String("a question answered")) {
        // Openen with unsent work asks first; the official says no.
        click(knoppen::NietGestart);
        m_kit->answerYes = false;
        click(knoppen::Openen);
        QCOMPARE(m_kit->questions.size(), 1);
    } else if (action == QLatin1String("rider board opened")) {
        QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(window.ruiterscherm() && window.ruiterscherm()->isVisible());
    } else if (action == QLatin1String("rider board closed")) {
        QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(window.ruiterscherm() && !window.ruiterscherm()->isVisible());
    }

    // The keyboard is in the list, and works there at once: a starter's number, then F8.
    QTRY_COMPARE(QApplication::focusWidget(), grid);
    const int ring = station().ringPointer().row();
    QTest::keyClicks(grid, QStringLiteral("106"));
    QCOMPARE(station().working().textMatrix(station().working().row(), column::Number), QStringLiteral("106"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QVERIFY(station().ringPointer().row() != ring);
}

bool TestKeyboard::open(const QByteArray& bytes, int row)
{
    if (!m_kit->openClass(bytes))
        return false;
    station().stopChecks();
    QApplication::setActiveWindow(&m_kit->window());
    if (!QTest::qWaitForWindowActive(&m_kit->window()))
        return false;
    m_kit->clickRow(row);
    return m_kit->grid()->hasFocus();
}

void TestKeyboard::key(QEvent::Type type, int code, Qt::KeyboardModifiers modifiers, bool autoRepeat, ulong time)
{
    QKeyEvent event(type, code, modifiers, QString(), autoRepeat);
    event.setTimestamp(time);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

void TestKeyboard::heldMove_data()
{
    // The file's permission to reorder and whether it is found; the list after Ctrl+Down pressed on line 2, five
    // of the key's own repeats, two ticks of the station's repeat and the release.
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<bool>("stale");
    QTest::addColumn<QString>("after");

    QTest::newRow("allowed: the press moves, the repeat moves, the key's repeats start nothing")
        << 1 << false << "a c d e b f g h";
    QTest::newRow("not allowed: nothing moves, not even the grid's row") << 0 << false << cls;
    QTest::newRow("a list not up to date takes no edits") << 1 << true << cls;
}

void TestKeyboard::heldMove()
{
    QFETCH(int, editvolgorde);
    QFETCH(bool, stale);
    QFETCH(QString, after);

    QVERIFY(open(testsupport::classBytes(cls, editvolgorde)));
    if (stale) {
        QVERIFY(QFile::remove(m_kit->classPath()));
        station().toonbestand(false);
        QCOMPARE(station().listState(), ListState::Stale);
    }
    // The menu shows the key, enabled as the buttons are.
    auto* item = m_kit->window().findChild<QAction*>(QStringLiteral("mnuVerplaatsOmlaag"));
    QVERIFY(item);
    QCOMPARE(item->isEnabled(), editvolgorde == 1 && !stale);

    // The first press as the window system gives it, shortcut override and all: the menu item's shortcut must
    // not move the line a second time.
    QTest::simulateEvent(m_kit->grid(), true, Qt::Key_Down, Qt::ControlModifier, QString(), false);
    for (int repeat = 0; repeat < 5; ++repeat)
        QTest::simulateEvent(m_kit->grid(), true, Qt::Key_Down, Qt::ControlModifier, QString(), true);
    station().TimerRegelsVerplaatsen_Timer();
    station().TimerRegelsVerplaatsen_Timer();
    key(QEvent::KeyRelease, Qt::Key_Down, Qt::ControlModifier);
    QTest::qWait(KeyCommands::repeatWait * 2);
    station().TimerRegelsVerplaatsen_Timer();

    QCOMPARE(keys(), after);
    QVERIFY(!station().heldMove());
    QVERIFY(!station().timerRegelsVerplaatsen()->isActive());
    if (after != cls) {
        // One run: the line where it ended is current and selected, and one undo takes the whole run back.
        QCOMPARE(station().working().row(), 5);
        station().ongedaanMaken();
        QCOMPARE(keys(), cls);
    } else {
        QCOMPARE(station().working().row(), 2);
    }
}

void TestKeyboard::heldMoveEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("after");
    QTest::newRow("Ctrl let go before the arrow") << "ctrl released"
                                                  << "a c b d e f g h";
    QTest::newRow("another window takes the focus") << "focus elsewhere"
                                                    << "a c b d e f g h";
    QTest::newRow("the window loses the activation") << "deactivated"
                                                     << "a c b d e f g h";
    QTest::newRow("the office withdraws the permission") << "permission withdrawn"
                                                         << "a c b d e f g h";
    QTest::newRow("the office's list replaces the ring's") << "replaced"
                                                           << "a b c d e f g";
    // The window system sends a held key's repeat as a release and a press at the same instant, and does not
    // always mark them: such a release does not end the run.
    QTest::newRow("a release that is the key's own repeat goes on") << "repeat"
                                                                    << "a c d b e f g h";
}

// A held key the window or the station ends without the arrow's release: the line must never run on by itself.
void TestKeyboard::heldMoveEnds()
{
    QFETCH(QString, how);
    QFETCH(QString, after);

    QVERIFY(open(testsupport::classBytes(cls)));
    key(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    key(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier, false, 1000);
    QCOMPARE(station().heldMove(), std::optional<regels::Richting>(regels::Richting::Omlaag));

    QWidget other;
    if (how == QLatin1String("ctrl released")) {
        key(QEvent::KeyRelease, Qt::Key_Control, {});
        // The arrow, still held, repeats without Ctrl: swallowed, the grid's row stays.
        key(QEvent::KeyPress, Qt::Key_Down, {}, true);
    } else if (how == QLatin1String("focus elsewhere")) {
        other.show();
        QApplication::setActiveWindow(&other);
        other.setFocus();
    } else if (how == QLatin1String("deactivated")) {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&m_kit->window(), &deactivate);
    } else if (how == QLatin1String("permission withdrawn")) {
        QVERIFY(m_kit->publish(testsupport::classBytes(cls, 0)));
        station().toonbestand(false);
    } else if (how == QLatin1String("replaced")) {
        QVERIFY(m_kit->publish(testsupport::classBytes(QStringLiteral("a b c d e f g"))));
        QCOMPARE(station().toonbestand(false), Station::ListChange::Replaced);
    } else if (how == QLatin1String("repeat")) {
        key(QEvent::KeyRelease, Qt::Key_Down, Qt::ControlModifier, false, 1660);
        // No step while it is not known whether the key was let go.
        station().TimerRegelsVerplaatsen_Timer();
        QCOMPARE(station().working().row(), 3);
        key(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier, false, 1660);
        QTest::qWait(KeyCommands::repeatWait * 2);
        QVERIFY(station().heldMove());
    }
    station().TimerRegelsVerplaatsen_Timer();
    if (how == QLatin1String("repeat")) {
        key(QEvent::KeyRelease, Qt::Key_Down, Qt::ControlModifier, false, 1800);
        QTest::qWait(KeyCommands::repeatWait * 2);
    }
    station().TimerRegelsVerplaatsen_Timer();
    QCOMPARE(keys(), after);
    QVERIFY(!station().heldMove());
    QVERIFY(!station().timerRegelsVerplaatsen()->isActive());
    QVERIFY(!m_kit->window().findChild<KeyCommands*>()->isMoving());
}

void TestKeyboard::commandKeys_data()
{
    // The permissions; the lines selected (the first one current) and a key on the window; the list, the marks
    // and how many times the open dialog and the send were asked for after it.
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<int>("editnietgestart");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QKeyCombination>("keyPressed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("sends");

    const QKeyCombination swap(Qt::ControlModifier, Qt::Key_W);
    const QKeyCombination ng(Qt::ControlModifier, Qt::Key_N);
    QTest::newRow("Ctrl+W swaps the two selected starters")
        << 1 << 1 << QList<int> { 2, 6 } << swap << "a f c d e b g h"
        << "" << 0 << 0;
    QTest::newRow("Ctrl+W without the permission does nothing")
        << 0 << 1 << QList<int> { 2, 6 } << swap << cls << "" << 0 << 0;
    QTest::newRow("Ctrl+W with one line says why") << 1 << 1 << QList<int> { 2 } << swap << cls << "" << 0 << 0;
    QTest::newRow("Ctrl+N marks the selected starters") << 1 << 1 << QList<int> { 2, 3 } << ng << cls << "bc" << 0 << 0;
    QTest::newRow("Ctrl+N without the permission does nothing")
        << 1 << 0 << QList<int> { 2 } << ng << cls << "" << 0 << 0;
    QTest::newRow("Ctrl+O opens the open dialog")
        << 1 << 1 << QList<int> { 2 } << QKeyCombination(Qt::ControlModifier, Qt::Key_O) << cls << "" << 1 << 0;
    QTest::newRow("Ctrl+Enter after a mark sends it")
        << 1 << 1 << QList<int> { 2 } << QKeyCombination(Qt::ControlModifier, Qt::Key_Return) << cls << "b" << 0 << 1;
    QTest::newRow("Ctrl+Enter on the keypad too")
        << 1 << 1 << QList<int> { 2 } << QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter) << cls
        << "b" << 0 << 1;
    QTest::newRow("Ctrl+Enter with nothing to send sends nothing")
        << 1 << 0 << QList<int> { 2 } << QKeyCombination(Qt::ControlModifier, Qt::Key_Return) << cls << "" << 0 << 0;
}

void TestKeyboard::commandKeys()
{
    QFETCH(int, editvolgorde);
    QFETCH(int, editnietgestart);
    QFETCH(QList<int>, selected);
    QFETCH(QKeyCombination, keyPressed);
    QFETCH(QString, after);
    QFETCH(QString, marks);
    QFETCH(int, dialogs);
    QFETCH(int, sends);

    QVERIFY(open(testsupport::classBytes(cls, editvolgorde, editnietgestart), selected.first()));
    for (qsizetype i = 1; i < selected.size(); ++i)
        m_kit->clickRow(selected[i], Qt::ControlModifier);
    // A send needs something to send: a mark made with the key's neighbour.
    if (keyPressed.key() == Qt::Key_Return || keyPressed.key() == Qt::Key_Enter)
        QTest::keyClick(m_kit->grid(), Qt::Key_N, Qt::ControlModifier);
    const QStringList before = m_kit->mutationFiles();
    const qsizetype dialogsBefore = m_kit->dialogCalls.size();
    QTest::keyClick(m_kit->grid(), keyPressed.key(), keyPressed.keyboardModifiers());

    QCOMPARE(keys(), after);
    QString marked;
    for (int r = 1; r < station().working().rows(); ++r) {
        if (station().working().textMatrix(r, column::Mark) == QLatin1String("N"))
            marked += station().working().textMatrix(r, column::Key);
    }
    QCOMPARE(marked, marks);
    QCOMPARE(m_kit->dialogCalls.size() - dialogsBefore, dialogs);
    QCOMPARE(m_kit->mutationFiles().size() > before.size(), sends > 0);
    if (keyPressed.key() == Qt::Key_W && selected.size() == 1 && editvolgorde == 1)
        QCOMPARE(m_kit->messages, QStringList { QStringLiteral("Selecteer 2 rijen") });
}

void TestKeyboard::typeAheadJumps()
{
    // Numbers 101 to 112; 110 is line 10.
    QVERIFY(open(testsupport::classBytes(QStringLiteral("a b c d e f g h i j k l")), 1));
    const auto type = [this](QChar digit, ulong time) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_0 + digit.digitValue(), {}, QString(digit));
        event.setTimestamp(time);
        QApplication::sendEvent(m_kit->grid(), &event);
    };
    type(u'1', 1000);
    type(u'1', 1200);
    type(u'0', 1400);
    QCOMPARE(station().working().row(), 10);
    QCOMPARE(station().working().rowData(10), 1);
    QCOMPARE(station().working().rowData(1), 0);
    // Digits with Ctrl are no number.
    QTest::keyClick(m_kit->grid(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(station().working().row(), 10);
}

void TestKeyboard::ringKeysAndMarker()
{
    QVERIFY(open(testsupport::classBytes(QStringLiteral("a b P c d"))));
    FlexGrid* grid = m_kit->grid();
    QCOMPARE(grid->markedRow(), 1);
    QTest::keyClick(grid, Qt::Key_F8);
    QTest::keyClick(grid, Qt::Key_F8);
    QCOMPARE(grid->markedRow(), 4);
    QTest::keyClick(grid, Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(grid->markedRow(), 2);
    // The marker stands clear of the left edge, where a row not sent has its bar down the whole row.
    const auto darkAtEdge = [grid](int row) {
        const QImage image = grid->viewport()->grab().toImage();
        const QRect cell = grid->cellRect(row, column::Position);
        int dark = 0;
        for (int y = cell.top() + 1; y < cell.bottom(); ++y)
            dark += qGray(image.pixel(cell.left() + 1, y)) < 96;
        return dark;
    };
    m_kit->clickRow(5);
    QCOMPARE(darkAtEdge(2), 0);
    // The marker follows the starter the official moves.
    m_kit->clickRow(2);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(grid->markedRow(), 4);
    QCOMPARE(station().working().textMatrix(4, column::Key), QStringLiteral("b"));
    // Over the pause line: c, now on line 2, is moved too.
    QVERIFY(darkAtEdge(2) >= grid->rowHeightPixels() - 4);
    QCOMPARE(
        grid->cellToolTip(4, column::Position), QStringLiteral("Verplaatst of gemeld, nog niet verzonden\nIn de ring"));
    // One screen: Ctrl+R shows the board as a window beside the official's, which keeps the keyboard.
    QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
    RiderBoard* board = m_kit->window().ruiterscherm();
    QVERIFY(board && board->isVisible());
    QVERIFY(!board->isFullScreen());
    QCOMPARE(QApplication::activeWindow(), &m_kit->window());
    // The day log says who rode.
    QFile log(station().dayLog().todaysFile());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("in de ring: 103 Ruiter c (Paard c)")));
}

// Where the keys act is framed in black: the current row in the grid, the button the Tab key reached.
void TestKeyboard::focusFramesShow()
{
    QVERIFY(open(testsupport::classBytes(cls), 3));
    FlexGrid* grid = m_kit->grid();
    const QImage cells = grid->viewport()->grab().toImage();
    const QRect number = grid->cellRect(3, column::Number);
    QCOMPARE(QColor(cells.pixel(number.center().x(), number.top() + 1)), QColor(Qt::black));
    QCOMPARE(QColor(cells.pixel(number.center().x(), grid->cellRect(2, column::Number).center().y())).lightness() > 200,
        true);

    QTest::keyClick(grid, Qt::Key_Tab);
    QWidget* button = QApplication::focusWidget();
    QCOMPARE(button, m_kit->button(knoppen::Openen));
    const QImage face = button->grab().toImage();
    QCOMPARE(QColor(face.pixel(2, face.height() / 2)), QColor(Qt::black));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
