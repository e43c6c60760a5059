// The ring's edits on the real main window, driven as the official drives them: arrow buttons pressed,
// held and released, the swap, NG and send buttons clicked, rows selected with the mouse. The repeat
// timer's ticks are called directly, so the hold is timed without waiting.
#include "clock.h"
#include "columns.h"
#include "faults.h"
#include "fileattributes.h"
#include "folderlisting.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "gridtable.h"
#include "testsupport.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QDateTime today(QDate(2026, 12, 7), QTime(10, 0, 0));

// One line of a class: its key, the office's status text (column 9) and its mark (column 10).
struct Line
{
    QString key;
    QString status;
    QString mark;
};

QList<Line> linesOf(const QString& keys)
{
    QList<Line> lines;
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
        lines.append({ key, {}, {} });
    return lines;
}

QByteArray classBytes(const QList<Line>& lines, int editvolgorde, int editnietgestart)
{
    QString text = QStringLiteral("owner:Ruitersport Oost\r\nwnr:12\r\nrid:7\r\neditvolgorde:%1\r\neditnietgestart:%2\r\n"
                                  "rij:key\tVolg\tNr\tRuiter\tPaard\tVer\t\t\t\tStatus\tNG\r\n")
                       .arg(editvolgorde)
                       .arg(editnietgestart);
    int position = 0;
    for (const Line& line : lines) {
        const bool pause = line.key == "P";
        text += QStringLiteral("rij:%1\t%2\t\t%3\tPaard %1\t\t\t\t\t%4\t%5\r\n")
                    .arg(line.key, pause ? QString() : QString::number(++position),
                        pause ? QStringLiteral("Pauze") : QStringLiteral("Ruiter ") + line.key, line.status, line.mark);
    }
    return text.toLatin1();
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
    void holdRepeatsAtIncreasingSpeed();
    void holdEnds_data();
    void holdEnds();
    void swap_data();
    void swap();
    void notStartedMarks();
    void sendButton_data();
    void sendButton();
    void permissionsOtherThanOneDoNothing();
    void emptyViewOffersNoEdits();
    void sendReachesTheFolder();
    void failedSendIsToldTheOfficial();
    void openingAnotherClassAndClosingRemoveTheClassFiles();

private:
    void follow(const QList<Line>& lines, int editvolgorde = 1, int editnietgestart = 1);
    void republish(const QList<Line>& lines, int editvolgorde = 1, int editnietgestart = 1);
    GridTable& table() { return m_window->gridTable(1); }
    QString keys();
    QString positions();
    QList<int> selectedRows();
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {});
    void press(int arrow, Qt::MouseButton button = Qt::LeftButton);
    void release(int arrow, Qt::MouseButton button = Qt::LeftButton);
    QStringList mutationFiles() const
    {
        return platform::listFolder(m_shared->path(), "*.mut*", platform::Listing::IncludeHidden);
    }

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_shared;
    platform::FixedClock m_clock { today };
    std::unique_ptr<FrmBaldovenaar> m_window;
    QStringList m_messages;
    int m_publications = 0;
};

void TestRingEdits::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    m_shared = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid() && m_shared->isValid());
    testsupport::useOwnSettings(m_config->path());
    m_messages.clear();
    m_publications = 0;
    FrmBaldovenaar::Options options;
    options.showSplash = false;
    // The files are written whole before the window reads them.
    options.settleTime = 0;
    options.clock = &m_clock;
    options.chooseFile = [this](const QString&, const QString&, const QString&) -> std::optional<QString> {
        return m_shared->filePath("baldovenaar rst-0007.dvz");
    };
    options.showMessage = [this](const QString& text) { m_messages << text; };
    m_window = std::make_unique<FrmBaldovenaar>(std::move(options));
    m_window->Form_Load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestRingEdits::cleanup()
{
    m_window.reset();
    m_shared.reset();
    m_config.reset();
}

void TestRingEdits::republish(const QList<Line>& lines, int editvolgorde, int editnietgestart)
{
    // Each publication a minute later, so the station sees a new write.
    QVERIFY(testsupport::writeFile(m_shared->filePath("baldovenaar rst-0007.dvz"),
        classBytes(lines, editvolgorde, editnietgestart), today.addSecs(-3600 + 60 * m_publications++)));
}

void TestRingEdits::follow(const QList<Line>& lines, int editvolgorde, int editnietgestart)
{
    republish(lines, editvolgorde, editnietgestart);
    m_window->kiesbestand();
    QCOMPARE(table().rows(), int(lines.size()) + 1);
}

QString TestRingEdits::keys()
{
    QStringList keys;
    for (int r = 1; r < table().rows(); ++r)
        keys << table().textMatrix(r, column::Key);
    return keys.join(' ');
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

void TestRingEdits::clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    FlexGrid* grid = m_window->grid1();
    grid->ensureRowVisible(row);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, grid->cellRect(row, 3).center());
}

void TestRingEdits::press(int arrow, Qt::MouseButton button)
{
    QPushButton* target = m_window->btnVerplaatsregels(arrow);
    QTest::mousePress(target, button, {}, target->rect().center());
}

void TestRingEdits::release(int arrow, Qt::MouseButton button)
{
    QPushButton* target = m_window->btnVerplaatsregels(arrow);
    QTest::mouseRelease(target, button, {}, target->rect().center());
}

void TestRingEdits::moves_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("current");

    QTest::newRow("down one") << "A B C" << 1 << 1 << "B A C" << 2;
    QTest::newRow("up one") << "A B C" << 3 << 0 << "A C B" << 2;
    QTest::newRow("up from the first line: nothing moves") << "A B C" << 1 << 0 << "A B C" << 1;
    QTest::newRow("down from the last line: nothing moves") << "A B C" << 3 << 1 << "A B C" << 3;
    QTest::newRow("up over a pause: the pause keeps its place") << "A P B C" << 3 << 0 << "B P A C" << 1;
    QTest::newRow("down over two pauses") << "A P P B" << 1 << 1 << "B P P A" << 4;
    QTest::newRow("up below a leading pause: the header is no target") << "P A B" << 2 << 0 << "P A B" << 2;
    QTest::newRow("down towards trailing pauses only") << "A B P P" << 2 << 1 << "A B P P" << 2;
    QTest::newRow("a pause line itself never moves, up") << "A P B" << 2 << 0 << "A P B" << 2;
    QTest::newRow("a pause line itself never moves, down") << "A P B" << 2 << 1 << "A P B" << 2;
}

void TestRingEdits::moves()
{
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(int, arrow);
    QFETCH(QString, after);
    QFETCH(int, current);

    follow(linesOf(before));
    const QString positionsBefore = positions();
    clickRow(start);
    press(arrow);
    release(arrow);

    QCOMPARE(keys(), after);
    // Column 1 belongs to the place, not to the starter.
    QCOMPARE(positions(), positionsBefore);
    // The moved line is the current and the one selected row, painted as such, and in sight.
    QCOMPARE(table().row(), current);
    QCOMPARE(selectedRows(), QList<int> { current });
    QCOMPARE(table().backColorAt(current, 3), colours::selectedRow);
    QVERIFY(!m_window->grid1()->cellRect(current, 3).isEmpty());
    QVERIFY(m_window->grid1()->hasFocus());
    QVERIFY(!m_window->timerRegelsVerplaatsen()->isActive());
    QCOMPARE(m_window->btnKnop(4)->isEnabled(), before != after);
}

void TestRingEdits::holdRepeatsAtIncreasingSpeed()
{
    follow(linesOf("A B C D E F G H"));
    clickRow(1);
    QTimer* timer = m_window->timerRegelsVerplaatsen();

    // One move at the press; then after 300 ms, 200 ms later, and every 100 ms from then on.
    press(1);
    QCOMPARE(table().row(), 2);
    QVERIFY(timer->isActive());
    QCOMPARE(m_window->timerRegelsVerplaatsenTag(), QString("1"));
    QList<int> intervals { timer->interval() };
    for (int tick = 0; tick < 4; ++tick) {
        m_window->TimerRegelsVerplaatsen_Timer();
        intervals << timer->interval();
    }
    QCOMPARE(intervals, (QList<int> { 300, 200, 100, 100, 100 }));
    QCOMPARE(table().row(), 6);
    QCOMPARE(keys(), QString("B C D E F A G H"));
    // The send button waits for the release.
    QVERIFY(!m_window->btnKnop(4)->isEnabled());
    release(1);
    QVERIFY(!timer->isActive());
    QCOMPARE(m_window->timerRegelsVerplaatsenTag(), QString());
    QVERIFY(m_window->btnKnop(4)->isEnabled());
    // A tick that still arrives after the release moves nothing.
    m_window->TimerRegelsVerplaatsen_Timer();
    QCOMPARE(table().row(), 6);
}

void TestRingEdits::holdEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("released with the right button it was pressed with") << "right button";
    QTest::newRow("the office withdraws the permission while it is held") << "permission withdrawn";
    QTest::newRow("the permission is gone at the next tick") << "permission at tick";
    QTest::newRow("the window loses the activation") << "deactivated";
    QTest::newRow("the button is disabled under the pointer") << "disabled";
    QTest::newRow("the window closes") << "closed";
}

void TestRingEdits::holdEnds()
{
    QFETCH(QString, how);
    const QList<Line> lines = linesOf("A B C D E F");
    follow(lines);
    clickRow(1);
    const Qt::MouseButton button = how == "right button" ? Qt::RightButton : Qt::LeftButton;
    press(1, button);
    QCOMPARE(table().row(), 2);

    if (how == "right button") {
        release(1, button);
    } else if (how == "permission withdrawn") {
        republish(lines, 0, 1);
        m_window->Timer1_Timer();
        QVERIFY(!m_window->btnVerplaatsregels(1)->isEnabled());
    } else if (how == "permission at tick") {
        m_window->state().editvolgorde = 2;
    } else if (how == "deactivated") {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(m_window->btnVerplaatsregels(1), &deactivate);
    } else if (how == "disabled") {
        m_window->btnVerplaatsregels(1)->setEnabled(false);
    } else if (how == "closed") {
        QVERIFY(m_window->close());
    }
    for (int tick = 0; tick < 5; ++tick)
        m_window->TimerRegelsVerplaatsen_Timer();
    QVERIFY(!m_window->timerRegelsVerplaatsen()->isActive());
    QCOMPARE(m_window->timerRegelsVerplaatsenTag(), QString());
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

    follow(linesOf(before));
    const QString positionsBefore = positions();
    clickRow(selection.first());
    for (qsizetype i = 1; i < selection.size(); ++i)
        clickRow(selection[i], Qt::ControlModifier);
    QCOMPARE(selectedRows(), selection);
    QTest::mouseClick(m_window->btnKnop(5), Qt::LeftButton);

    QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList { message });
    QCOMPARE(keys(), after);
    QCOMPARE(positions(), positionsBefore);
    // The same places stay selected, now showing each other's starters.
    QCOMPARE(selectedRows(), selection);
    QCOMPARE(m_window->btnKnop(4)->isEnabled(), before != after);
}

void TestRingEdits::notStartedMarks()
{
    QList<Line> lines = linesOf("A B P C D");
    lines[1].mark = "N";
    lines[1].status = "N";
    follow(lines);
    QVERIFY(!m_window->btnKnop(4)->isEnabled());

    // A mixed selection stays mixed, inverted; the pause line keeps its column 10.
    clickRow(1);
    clickRow(4, Qt::ShiftModifier);
    QCOMPARE(selectedRows(), (QList<int> { 1, 2, 3, 4 }));
    QTest::mouseClick(m_window->btnKnop(1), Qt::LeftButton);
    QStringList marks;
    for (int r = 1; r < table().rows(); ++r)
        marks << table().textMatrix(r, column::Mark);
    QCOMPARE(marks, (QStringList { "N", "", "", "N", "" }));
    QVERIFY(m_window->btnKnop(4)->isEnabled());

    // The same selection toggled again: back as the file has it, nothing left to send.
    QTest::mouseClick(m_window->btnKnop(1), Qt::LeftButton);
    marks.clear();
    for (int r = 1; r < table().rows(); ++r)
        marks << table().textMatrix(r, column::Mark);
    QCOMPARE(marks, (QStringList { "", "N", "", "", "" }));
    QVERIFY(!m_window->btnKnop(4)->isEnabled());
}

void TestRingEdits::sendButton_data()
{
    QTest::addColumn<int>("editvolgorde");
    QTest::addColumn<int>("editnietgestart");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nothing changed") << 1 << 1 << "none" << false;
    QTest::newRow("a move, reordering allowed") << 1 << 0 << "move" << true;
    QTest::newRow("a move undone by hand") << 1 << 1 << "move back" << false;
    QTest::newRow("a mark, marking allowed") << 0 << 1 << "mark" << true;
    QTest::newRow("a mark, only reordering allowed") << 1 << 0 << "file mark" << false;
    QTest::newRow("a mark from the file, marking allowed") << 1 << 1 << "file mark" << true;
    QTest::newRow("a lower-case n in the status is no mark") << 1 << 1 << "lower-case status" << false;
    QTest::newRow("the office's N with the ring's N agree") << 1 << 1 << "both N" << false;
    QTest::newRow("a move and a mark, marking allowed") << 2 << 1 << "move and mark" << true;
    QTest::newRow("a move and a mark, neither allowed") << 0 << 0 << "move and mark" << false;
}

void TestRingEdits::sendButton()
{
    QFETCH(int, editvolgorde);
    QFETCH(int, editnietgestart);
    QFETCH(QString, change);

    QList<Line> lines = linesOf("A B C");
    if (change == "file mark")
        lines[1].mark = "N";
    if (change == "lower-case status")
        lines[1].status = "n";
    if (change == "both N")
        lines[1] = { "B", "N (kreupel)", "N" };
    follow(lines, editvolgorde, editnietgestart);
    // Without the permission the buttons are off; the change is made on the grid as a re-read would.
    if (change == "move" || change == "move back" || change == "move and mark") {
        table().setRow(1);
        m_window->verplaatsregel("1");
    }
    if (change == "move back")
        m_window->verplaatsregel("0");
    if (change == "mark" || change == "move and mark")
        table().setTextMatrix(3, column::Mark, "N");
    m_window->toonbestand(false);
    QTEST(m_window->btnKnop(4)->isEnabled(), "enabled");
}

void TestRingEdits::permissionsOtherThanOneDoNothing()
{
    follow(linesOf("A B C D"), 2, 0);
    for (int index : { 1, 5 })
        QVERIFY(!m_window->btnKnop(index)->isEnabled());
    for (int arrow : { 0, 1 })
        QVERIFY(!m_window->btnVerplaatsregels(arrow)->isEnabled());
    clickRow(1);
    clickRow(3, Qt::ControlModifier);
    // Reached by other means than the disabled buttons, the routines still do nothing.
    m_window->btnVerplaatsregels_MouseDown(1, 1);
    m_window->TimerRegelsVerplaatsen_Timer();
    m_window->btnVerplaatsregels_MouseUp(1, 1);
    m_window->btnKnop_Click(5);
    m_window->btnKnop_Click(1);
    QCOMPARE(keys(), QString("A B C D"));
    QCOMPARE(table().textMatrix(1, column::Mark), QString());
    QVERIFY(!m_window->timerRegelsVerplaatsen()->isActive());
    QVERIFY(m_messages.isEmpty());
}

void TestRingEdits::emptyViewOffersNoEdits()
{
    const QList<Line> lines = linesOf("A B C");
    follow(lines);
    clickRow(1);
    press(1);
    release(1);
    QVERIFY(m_window->btnKnop(4)->isEnabled());

    // The file is of yesterday now: the empty view, and nothing to edit or send in it.
    QVERIFY(testsupport::setModified(m_shared->filePath("baldovenaar rst-0007.dvz"), today.addDays(-1)));
    m_window->Timer1_Timer();
    QVERIFY(!m_window->grid1()->isVisible());
    for (int index : { 1, 4, 5 })
        QVERIFY(!m_window->btnKnop(index)->isEnabled());
    for (int arrow : { 0, 1 })
        QVERIFY(!m_window->btnVerplaatsregels(arrow)->isEnabled());

    // The office writes it again today: the list and its buttons come back, the ring's move with them.
    republish(lines);
    m_window->Timer1_Timer();
    QVERIFY(m_window->grid1()->isVisible());
    for (int index : { 1, 4, 5 })
        QVERIFY(m_window->btnKnop(index)->isEnabled());
    QCOMPARE(keys(), QString("B A C"));
}

void TestRingEdits::sendReachesTheFolder()
{
    follow(linesOf("A B P C"));
    m_clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    // The official moves A down one place, marks C not started and sends.
    clickRow(1);
    press(1);
    release(1);
    clickRow(4);
    QTest::mouseClick(m_window->btnKnop(1), Qt::LeftButton);
    QVERIFY(m_window->btnKnop(4)->isEnabled());
    QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);

    QCOMPARE(mutationFiles(),
        (QStringList { "20261207-140509-7-baldovenaar-h.mut", "20261207-140509-7-baldovenaar-s.mut" }));
    const QByteArray expected = "wnr:12\r\nrid:7\r\norder:B\tA\tP\tC\r\nnotstarted:C\r\nstarted:B\tA\tP\r\ntext:\r\n";
    for (const QString& name : mutationFiles()) {
        QCOMPARE(testsupport::readFile(m_shared->filePath(name)), expected);
        QCOMPARE(platform::fileAttributes(m_shared->filePath(name)).value_or(-1),
            platform::AttrHidden | platform::AttrArchive);
    }
    // A send changes nothing on screen: the button stays until the office's answer agrees.
    QVERIFY(m_messages.isEmpty());
    QVERIFY(m_window->btnKnop(4)->isEnabled());
    QCOMPARE(keys(), QString("B A P C"));
    QVERIFY(!QGuiApplication::overrideCursor());
    // The pause the office programs count on, on the station's clock.
    QCOMPARE(m_clock.pausedMilliseconds(), 500);
}

void TestRingEdits::failedSendIsToldTheOfficial()
{
    follow(linesOf("A B C"));
    clickRow(1);
    press(1);
    release(1);
    platform::faults::inject(platform::faults::Operation::Write, "-baldovenaar-s.mut", "Schijf vol");
    QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    platform::faults::clear();

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QDir::toNativeSeparators(m_shared->path())), qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains("Schijf vol"));
    QVERIFY(!QGuiApplication::overrideCursor());
    // The other copy went; the grid keeps the ring's order and marks.
    QCOMPARE(mutationFiles().size(), 1);
    QVERIFY(mutationFiles().constFirst().endsWith("-baldovenaar-h.mut"));
    QCOMPARE(keys(), QString("B A C"));
}

void TestRingEdits::openingAnotherClassAndClosingRemoveTheClassFiles()
{
    // Another class's file of today in the same folder is never touched.
    const QString other = m_shared->filePath("20261207-090000-8-baldovenaar-s.mut");
    QVERIFY(testsupport::writeFile(other, "wnr:1\r\n"));
    follow(linesOf("A B C"));
    clickRow(1);
    press(1);
    release(1);
    QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    QCOMPARE(mutationFiles().size(), 3);

    // Openen (the same class chosen again) clears the class's files, as closing the station does.
    m_window->kiesbestand();
    QCOMPARE(mutationFiles(), QStringList { "20261207-090000-8-baldovenaar-s.mut" });
    QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    QVERIFY(!m_window->btnKnop(4)->isEnabled()); // the re-read list agrees with the file again
    clickRow(2);
    press(0);
    release(0);
    QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    QCOMPARE(mutationFiles().size(), 3);
    QVERIFY(m_window->close());
    QCOMPARE(mutationFiles(), QStringList { "20261207-090000-8-baldovenaar-s.mut" });
}

QTEST_MAIN(TestRingEdits)
#include "tst_ringedits.moc"
