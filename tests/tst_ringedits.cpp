// The ring's edits on the real main window, driven as the official drives them: the move buttons pressed,
// held and released, the swap, NG and send buttons clicked, rows selected with the mouse. What only the
// window shows is tested here: the focus and the painting after a move, a hold that the window ends, the
// buttons as the station allows them, the messages and the pointer. The rules behind the edits (the
// permissions, the hold's repeat, the send rule, the mutation files) are tested on the station object, in
// tst_station.
#include "classfile.h"
#include "colourtable.h"
#include "columns.h"
#include "faults.h"
#include "files.h"
#include "flexgrid.h"
#include "holdbutton.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

Q_DECLARE_METATYPE(regels::Richting)

namespace {

using regels::Richting;

// A class of the given keys in which the line `key` has the office's status `status` and the ring's mark
// `mark`.
QByteArray classWithMark(const QString& keys, const QString& key, const QString& status, const QString& mark)
{
    kantoor::PublishedOrder order = testsupport::classOrder(keys);
    testsupport::setCell(order, key, column::Status, status);
    testsupport::setCell(order, key, column::Mark, mark);
    return kantoor::runningOrderBytes(order);
}

} // namespace

class TestRingEdits : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void moves_data();
    void moves();
    void holdEnds_data();
    void holdEnds();
    void swap_data();
    void swap();
    void notStartedMarks();
    void editButtonsFollowThePermissions_data();
    void editButtonsFollowThePermissions();
    void emptyViewGreysTheEditButtons();
    void failedSendIsToldTheOfficial();
    void dragByTheVolgCell_data();
    void dragByTheVolgCell();

private:
    // Publishes the class and opens it through the window; true once its list is shown.
    bool follow(const QByteArray& bytes) { return m_kit->openClass(bytes) && station().listShown(); }
    Station& station() { return m_kit->station(); }
    // The grid control's model, as the grid widget changes it.
    GridTable& table() { return *m_kit->grid()->table(); }
    QString keys() { return testsupport::keysOf(table()); }
    QString positions();
    QList<int> selectedRows();
    QStringList marks();
    void press(Richting richting, Qt::MouseButton button = Qt::LeftButton);
    void release(Richting richting, Qt::MouseButton button = Qt::LeftButton);
    // Whether the five edit buttons are enabled: the two move buttons, swap, NG and send.
    QList<bool> editButtonsEnabled();

    std::unique_ptr<testsupport::WindowFixture> m_kit;
};

void TestRingEdits::init()
{
    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
    m_kit->makeWindow();
    QVERIFY(m_kit->window().isVisible());
}

void TestRingEdits::cleanup()
{
    platform::faults::clear();
    m_kit.reset();
}

QString TestRingEdits::positions()
{
    QStringList positions;
    for (int r = 1; r < table().rows(); ++r)
        positions << table().textMatrix(r, column::Position);
    return positions.join(' ');
}

QList<int> TestRingEdits::selectedRows()
{
    QList<int> rows;
    for (int r = 1; r < table().rows(); ++r) {
        if (table().rowData(r) == 1)
            rows << r;
    }
    return rows;
}

QStringList TestRingEdits::marks()
{
    QStringList marks;
    for (int r = 1; r < table().rows(); ++r)
        marks << table().textMatrix(r, column::Mark);
    return marks;
}

void TestRingEdits::press(Richting richting, Qt::MouseButton button)
{
    QPushButton* target = m_kit->moveButton(richting);
    QTest::mousePress(target, button, {}, target->rect().center());
}

void TestRingEdits::release(Richting richting, Qt::MouseButton button)
{
    QPushButton* target = m_kit->moveButton(richting);
    QTest::mouseRelease(target, button, {}, target->rect().center());
}

QList<bool> TestRingEdits::editButtonsEnabled()
{
    return { m_kit->moveButton(Richting::Omhoog)->isEnabled(), m_kit->moveButton(Richting::Omlaag)->isEnabled(),
        m_kit->button(knoppen::Wissel)->isEnabled(), m_kit->button(knoppen::NietGestart)->isEnabled(),
        m_kit->button(knoppen::Verzenden)->isEnabled() };
}

void TestRingEdits::moves_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("start");
    QTest::addColumn<Richting>("richting");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("current");

    const Richting up = Richting::Omhoog;
    const Richting down = Richting::Omlaag;
    QTest::newRow("down one") << "A B C" << 1 << down << "B A C" << 2;
    QTest::newRow("up one") << "A B C" << 3 << up << "A C B" << 2;
    QTest::newRow("up from the first line: nothing moves") << "A B C" << 1 << up << "A B C" << 1;
    QTest::newRow("down from the last line: nothing moves") << "A B C" << 3 << down << "A B C" << 3;
    QTest::newRow("up over a pause: the pause keeps its place") << "A P B C" << 3 << up << "B P A C" << 1;
    QTest::newRow("down over two pauses") << "A P P B" << 1 << down << "B P P A" << 4;
    QTest::newRow("up below a leading pause: the header is no target") << "P A B" << 2 << up << "P A B" << 2;
    QTest::newRow("down towards trailing pauses only") << "A B P P" << 2 << down << "A B P P" << 2;
    QTest::newRow("a pause line itself never moves, up") << "A P B" << 2 << up << "A P B" << 2;
    QTest::newRow("a pause line itself never moves, down") << "A P B" << 2 << down << "A P B" << 2;
}

void TestRingEdits::moves()
{
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(Richting, richting);
    QFETCH(QString, after);
    QFETCH(int, current);

    QVERIFY(follow(testsupport::classBytes(before)));
    const QString positionsBefore = positions();
    m_kit->clickRow(start);
    press(richting);
    release(richting);

    QCOMPARE(keys(), after);
    // The running position belongs to the place, not to the starter.
    QCOMPARE(positions(), positionsBefore);
    // The moved line is the current and the one selected row, painted as such, in sight, and the grid has
    // the focus (the move buttons take none).
    QCOMPARE(table().row(), current);
    QCOMPARE(selectedRows(), QList<int> { current });
    QCOMPARE(table().backColorAt(current, column::Rider), colours::selectedRow);
    QVERIFY(!m_kit->grid()->cellRect(current, column::Rider).isEmpty());
    QVERIFY(m_kit->grid()->hasFocus());
    QVERIFY(!station().timerRegelsVerplaatsen()->isActive());
    QCOMPARE(m_kit->button(knoppen::Verzenden)->isEnabled(), before != after);
}

void TestRingEdits::holdEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("released with the right button it was pressed with") << "right button";
    QTest::newRow("the window loses the activation") << "deactivated";
    QTest::newRow("the button is disabled under the pointer") << "disabled";
    QTest::newRow("the button is hidden under the pointer") << "hidden";
    QTest::newRow("the window closes") << "closed";
}

// A hold the window ends without a release on the button: the line must never run on by itself.
void TestRingEdits::holdEnds()
{
    QFETCH(QString, how);
    QVERIFY(follow(testsupport::classBytes("A B C D E F")));
    m_kit->clickRow(1);
    const Qt::MouseButton button = how == "right button" ? Qt::RightButton : Qt::LeftButton;
    press(Richting::Omlaag, button);
    QCOMPARE(table().row(), 2);
    QCOMPARE(station().heldMove(), std::optional<Richting>(Richting::Omlaag));
    QVERIFY(station().timerRegelsVerplaatsen()->isActive());

    HoldButton* held = m_kit->moveButton(Richting::Omlaag);
    if (how == "right button") {
        release(Richting::Omlaag, button);
    } else if (how == "deactivated") {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(held, &deactivate);
    } else if (how == "disabled") {
        held->setEnabled(false);
    } else if (how == "hidden") {
        held->hide();
    } else if (how == "closed") {
        QVERIFY(m_kit->window().close());
    }
    for (int tick = 0; tick < 5; ++tick)
        station().TimerRegelsVerplaatsen_Timer();
    QVERIFY(!station().timerRegelsVerplaatsen()->isActive());
    QVERIFY(!station().heldMove());
    QCOMPARE(table().row(), 2);
}

void TestRingEdits::swap_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("after");

    const QString list = "A B C D E F G H I J";
    QTest::newRow("rows 4 and 9") << list << QList<int> { 4, 9 } << QString() << "A B C I E F G H D J";
    QTest::newRow("next to each other") << list << QList<int> { 1, 2 } << QString() << "B A C D E F G H I J";
    QTest::newRow("one row") << list << QList<int> { 3 } << "Selecteer 2 rijen" << list;
    QTest::newRow("three rows") << list << QList<int> { 1, 2, 3 } << "Selecteer 2 rijen" << list;
    QTest::newRow("a pause line") << "A P B" << QList<int> { 1, 2 } << "Pauzeregels kunnen niet verplaatst worden."
                                  << "A P B";
    QTest::newRow("a pause among three: the count wins") << "A P B" << QList<int> { 1, 2, 3 } << "Selecteer 2 rijen"
                                                         << "A P B";
}

void TestRingEdits::swap()
{
    QFETCH(QString, before);
    QFETCH(QList<int>, selection);
    QFETCH(QString, message);
    QFETCH(QString, after);

    QVERIFY(follow(testsupport::classBytes(before)));
    const QString positionsBefore = positions();
    m_kit->clickRow(selection.first());
    for (qsizetype i = 1; i < selection.size(); ++i)
        m_kit->clickRow(selection[i], Qt::ControlModifier);
    QCOMPARE(selectedRows(), selection);
    QTest::mouseClick(m_kit->button(knoppen::Wissel), Qt::LeftButton);

    QCOMPARE(m_kit->messages, message.isEmpty() ? QStringList() : QStringList { message });
    QCOMPARE(keys(), after);
    QCOMPARE(positions(), positionsBefore);
    // The same places stay selected, now showing each other's starters.
    QCOMPARE(selectedRows(), selection);
    QCOMPARE(m_kit->button(knoppen::Verzenden)->isEnabled(), before != after);
}

void TestRingEdits::notStartedMarks()
{
    QVERIFY(follow(classWithMark("A B P C D", "B", "N", "N")));
    QVERIFY(!m_kit->button(knoppen::Verzenden)->isEnabled());

    // A mixed selection stays mixed, inverted; the pause line keeps its mark column as it is.
    m_kit->clickRow(1);
    m_kit->clickRow(4, Qt::ShiftModifier);
    QCOMPARE(selectedRows(), (QList<int> { 1, 2, 3, 4 }));
    QTest::mouseClick(m_kit->button(knoppen::NietGestart), Qt::LeftButton);
    QCOMPARE(marks(), (QStringList { "N", "", "", "N", "" }));
    QVERIFY(m_kit->button(knoppen::Verzenden)->isEnabled());

    // The same selection toggled again: back as the file has it, nothing left to send.
    QTest::mouseClick(m_kit->button(knoppen::NietGestart), Qt::LeftButton);
    QCOMPARE(marks(), (QStringList { "", "N", "", "", "" }));
    QVERIFY(!m_kit->button(knoppen::Verzenden)->isEnabled());
}

void TestRingEdits::editButtonsFollowThePermissions_data()
{
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<int>("editnietgestart");
    QTest::addColumn<QList<bool>>("enabled"); // move up, move down, swap, NG, send

    QTest::newRow("may reorder and mark") << 1 << 1 << QList<bool> { true, true, true, true, false };
    QTest::newRow("may reorder only") << 1 << 0 << QList<bool> { true, true, true, false, false };
    QTest::newRow("may mark only") << 0 << 1 << QList<bool> { false, false, false, true, false };
    QTest::newRow("permissions other than 1") << 2 << 0 << QList<bool> { false, false, false, false, false };
}

void TestRingEdits::editButtonsFollowThePermissions()
{
    QFETCH(int, editvolgorde);
    QFETCH(int, editnietgestart);
    QFETCH(QList<bool>, enabled);

    QVERIFY(follow(testsupport::classBytes("A B C D", editvolgorde, editnietgestart)));
    QCOMPARE(editButtonsEnabled(), enabled);
    // What a greyed button would do, reached by other means: the station refuses it, nothing is said.
    m_kit->clickRow(1);
    m_kit->clickRow(3, Qt::ControlModifier);
    FrmBaldovenaar& window = m_kit->window();
    if (!enabled[0]) {
        window.btnVerplaatsregels_MouseDown(Richting::Omlaag);
        station().TimerRegelsVerplaatsen_Timer();
        window.btnVerplaatsregels_MouseUp();
        QVERIFY(!station().timerRegelsVerplaatsen()->isActive());
    }
    if (!enabled[2])
        window.btnKnop_Click(knoppen::Wissel);
    if (!enabled[3])
        window.btnKnop_Click(knoppen::NietGestart);
    QCOMPARE(keys(), QString("A B C D"));
    QCOMPARE(marks(), (QStringList { "", "", "", "" }));
    QVERIFY(m_kit->messages.isEmpty());
}

void TestRingEdits::emptyViewGreysTheEditButtons()
{
    const QByteArray bytes = testsupport::classBytes("A B C");
    QVERIFY(follow(bytes));
    m_kit->clickRow(1);
    press(Richting::Omlaag);
    release(Richting::Omlaag);
    QCOMPARE(editButtonsEnabled(), (QList<bool> { true, true, true, true, true }));

    // The file is of yesterday now: the empty view, and every edit button greyed.
    QVERIFY(testsupport::setModified(m_kit->classPath(), m_kit->today().addDays(-1)));
    station().Timer1_Timer();
    QVERIFY(!m_kit->grid()->isVisible());
    QCOMPARE(editButtonsEnabled(), (QList<bool> { false, false, false, false, false }));

    // The office writes it again today: the list and its buttons come back, the ring's move with them.
    QVERIFY(m_kit->publish(bytes));
    station().Timer1_Timer();
    QVERIFY(m_kit->grid()->isVisible());
    QCOMPARE(editButtonsEnabled(), (QList<bool> { true, true, true, true, true }));
    QCOMPARE(keys(), QString("B A C"));
}

void TestRingEdits::failedSendIsToldTheOfficial()
{
    QVERIFY(follow(testsupport::classBytes("A B C")));
    m_kit->clickRow(1);
    press(Richting::Omlaag);
    release(Richting::Omlaag);
    // Whether the busy pointer was still up when the station told the failure.
    std::optional<bool> busyWhenTold;
    connect(&station(), &Station::sendFailed, this,
        [&busyWhenTold] { busyWhenTold = QGuiApplication::overrideCursor() != nullptr; });
    platform::faults::inject(platform::faults::Operation::Write, "-baldovenaar-s.mut", "Schijf vol");
    QTest::mouseClick(m_kit->button(knoppen::Verzenden), Qt::LeftButton);
    platform::faults::clear();

    QCOMPARE(m_kit->messages.size(), 1);
    QVERIFY2(
        m_kit->messages[0].contains(QDir::toNativeSeparators(m_kit->sharedFolder())), qPrintable(m_kit->messages[0]));
    QVERIFY(m_kit->messages[0].contains("Schijf vol"));
    // The busy pointer is gone before the official is told, and stays gone.
    QCOMPARE(busyWhenTold, std::optional<bool>(false));
    QVERIFY(!QGuiApplication::overrideCursor());
    // The other copy went; the grid keeps the ring's order and marks, and may be sent again.
    QCOMPARE(m_kit->mutationFiles().size(), 1);
    QVERIFY(m_kit->mutationFiles().constFirst().endsWith("-baldovenaar-h.mut"));
    QCOMPARE(keys(), QString("B A C"));
    QVERIFY(m_kit->button(knoppen::Verzenden)->isEnabled());
}

// A starter dragged by its Volg cell on the window's grid lands where the line showed, through the station (one
// undo step), only where the file allows moving lines; a rider it crowds is marked on both rows.
void TestRingEdits::dragByTheVolgCell_data()
{
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<QString>("after");

    QTest::newRow("allowed: lands on place 2") << 1 << "1 6 2 3 4 5 7 8";
    QTest::newRow("not allowed: nothing moves") << 0 << "1 2 3 4 5 6 7 8";
}

void TestRingEdits::dragByTheVolgCell()
{
    QFETCH(int, editvolgorde);
    QFETCH(QString, after);

    kantoor::PublishedOrder order = testsupport::classOrder(QStringLiteral("1 2 3 4 5 6 7 8"), editvolgorde);
    testsupport::setCell(order, QStringLiteral("1"), column::Rider, QStringLiteral("Anna de Vries"));
    testsupport::setCell(order, QStringLiteral("6"), column::Rider, QStringLiteral("Anna de Vries"));
    QVERIFY(follow(kantoor::runningOrderBytes(order)));
    FlexGrid* grid = m_kit->grid();
    QWidget* viewport = grid->viewport();
    const QPoint from = grid->cellRect(6, column::Position).center();
    const QPoint to = grid->cellRect(2, column::Position).center();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, (from + to) / 2);
    QTest::mouseMove(viewport, to);
    QCOMPARE(grid->isDragging(), editvolgorde == 1);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    QCOMPARE(keys(), after);
    if (editvolgorde != 1)
        return;
    QCOMPARE(table().row(), 2);
    QCOMPARE(grid->warnedRows(), QList<int>({ 1, 2 }));
    station().ongedaanMaken();
    QCOMPARE(keys(), QStringLiteral("1 2 3 4 5 6 7 8"));
    QVERIFY(grid->warnedRows().isEmpty());
}

QTEST_MAIN(TestRingEdits)
#include "tst_ringedits.moc"
