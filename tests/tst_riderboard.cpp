// The rider board on the real windows, on two screens as at a show (the offscreen platform with a laptop's
// screen and a full-HD screen at the in-gate): Beeld > Ruiterscherm and its keys, where the board goes, that it
// follows the official's work, and that it can be read from ten metres.
#include "boardcolours.h"
#include "boardfeed.h"
#include "boardtextfit.h"
#include "classfile.h"
#include "columns.h"
#include "flexgrid.h"
#include "publishedorder.h"
#include "riderboard.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <memory>

class TestRiderBoard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensFullScreenOnTheSecondScreen();
    void followsTheOfficialsWork();
    void readableFromTenMetres();
    void timesStayWithTheirPlaces();
    void longNamesDrawnSmallerFirst_data();
    void longNamesDrawnSmallerFirst();
    void contrast_data();
    void contrast();

private:
    static QScreen* screen(const QString& name);
    QAction* item(const QString& name) { return m_kit->window().findChild<QAction*>(name); }

    std::unique_ptr<testsupport::WindowFixture> m_kit;
};

QScreen* TestRiderBoard::screen(const QString& name)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

void TestRiderBoard::init()
{
    QVERIFY(screen(QStringLiteral("laptop")) && screen(QStringLiteral("ingate")));
    m_kit = std::make_unique<testsupport::WindowFixture>();
    m_kit->makeWindow();
    // The official's window on the laptop.
    m_kit->window().windowHandle()->setScreen(screen(QStringLiteral("laptop")));
    m_kit->window().move(screen(QStringLiteral("laptop"))->geometry().topLeft() + QPoint(20, 20));
    QVERIFY(m_kit->openClass(testsupport::classBytes(QStringLiteral("a b c P d e f g h i j k l m"))));
    m_kit->station().stopChecks();
    QApplication::setActiveWindow(&m_kit->window());
    QVERIFY(QTest::qWaitForWindowActive(&m_kit->window()));
}

void TestRiderBoard::cleanup()
{
    m_kit.reset();
}

void TestRiderBoard::opensFullScreenOnTheSecondScreen()
{
    FrmBaldovenaar& window = m_kit->window();
    QCOMPARE(window.screen(), screen(QStringLiteral("laptop")));
    QVERIFY(!window.ruiterscherm());

    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    RiderBoard* board = window.ruiterscherm();
    QVERIFY(board);
    QVERIFY(QTest::qWaitForWindowExposed(board));
    QCOMPARE(board->windowTitle(), QStringLiteral("Ruiterscherm – Springen klasse M"));
    QCOMPARE(board->screen(), screen(QStringLiteral("ingate")));
    QVERIFY(board->isFullScreen());
    QCOMPARE(board->geometry(), screen(QStringLiteral("ingate"))->geometry());
    QVERIFY(item(QStringLiteral("mnuRuiterscherm"))->isChecked());
    // The keyboard stays with the official's window.
    QCOMPARE(QApplication::activeWindow(), &window);

    // F11 makes it a window and full screen again, from the main window or on the board itself.
    QTest::keyClick(&window, Qt::Key_F11);
    QVERIFY(!board->isFullScreen());
    QTest::keyClick(&window, Qt::Key_F11);
    QVERIFY(board->isFullScreen());
    QTest::keyClick(board, Qt::Key_Escape);
    QVERIFY(!board->isFullScreen());

    // Ctrl+R closes it; closing the main window closes it too.
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!board->isVisible());
    QVERIFY(!item(QStringLiteral("mnuRuiterscherm"))->isChecked());
    QVERIFY(!item(QStringLiteral("mnuRuiterschermSchermvullend"))->isEnabled());
    window.toggleRuiterscherm();
    QVERIFY(board->isVisible());
    QVERIFY(window.close());
    QVERIFY(!board->isVisible());
}

void TestRiderBoard::followsTheOfficialsWork()
{
    FrmBaldovenaar& window = m_kit->window();
    window.toggleRuiterscherm();
    const BoardFeed& feed = window.ruiterscherm()->feed();
    auto ring = [&feed] { return feed.content().top[0] ? feed.content().top[0]->rider : QString(); };
    QCOMPARE(ring(), QStringLiteral("Ruiter a"));

    // F8 on the main window, then a move and a mark there: each on the board within a second.
    QTest::keyClick(&window, Qt::Key_F8);
    QTRY_COMPARE_WITH_TIMEOUT(ring(), QStringLiteral("Ruiter b"), 1000);
    m_kit->clickRow(2);
    QTest::keyClick(m_kit->grid(), Qt::Key_Up, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(feed.content().top[1]->rider, QStringLiteral("Ruiter a"), 1000);
    // Starter b, in the ring and moved up to the first line, marked not started: a is in the ring, and the
    // pause after c shows below the three.
    QTest::keyClick(m_kit->grid(), Qt::Key_N, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(ring(), QStringLiteral("Ruiter a"), 1000);
    QCOMPARE(feed.content().top[1]->rider, QStringLiteral("Ruiter c"));
    QCOMPARE(feed.content().following.front().kind, BoardLine::Kind::Pause);
    // The board's own F8, when the official has clicked it.
    QTest::keyClick(window.ruiterscherm(), Qt::Key_F8);
    QTRY_COMPARE_WITH_TIMEOUT(ring(), QStringLiteral("Ruiter c"), 1000);
}

void TestRiderBoard::readableFromTenMetres()
{
    m_kit->window().toggleRuiterscherm();
    RiderBoard* board = m_kit->window().ruiterscherm();
    QVERIFY(QTest::qWaitForWindowExposed(board));
    QCOMPARE(board->height(), 1080);
    // The three big lines at least a twelfth of the screen's height.
    QVERIFY(board->ringLinePixels() >= 1080 / 12);
    QVERIFY(board->nextLinePixels() >= 1080 / 12);
}

void TestRiderBoard::timesStayWithTheirPlaces()
{
    // The office plans a time for every place, a pause included.
    const QString keys = QStringLiteral("a b c P d e f g h i j k l m");
    kantoor::PublishedOrder office = testsupport::classOrder(keys);
    auto planTimes = [&office](int firstMinute) {
        int minute = firstMinute;
        for (QStringList& line : office.lines)
            line[column::Time] = QStringLiteral("10:%1").arg(minute++ * 2, 2, 10, QLatin1Char('0'));
    };
    planTimes(0);
    QVERIFY(m_kit->openClass(kantoor::runningOrderBytes(office)));
    FrmBaldovenaar& window = m_kit->window();
    window.toggleRuiterscherm();
    const BoardFeed& feed = window.ruiterscherm()->feed();
    auto times = [&feed] {
        QStringList times;
        for (const BoardLine& line : feed.content().following)
            times << line.starter.time;
        return times;
    };
    auto riders = [&feed] {
        QStringList riders;
        for (const BoardLine& line : feed.content().following)
            riders << line.starter.rider;
        return riders;
    };
    const QStringList planned = times();
    QCOMPARE(planned.size(), 9); // the pause and eight starters after the three
    QCOMPARE(planned.front(), QStringLiteral("10:06"));
    QVERIFY(std::is_sorted(planned.begin(), planned.end()));

    // Starter g moved up two places (not sent): it takes the time of its new place, and the lines it passed
    // keep theirs, as the office planned them.
    const QStringList moved { "Ruiter d", "Ruiter g", "Ruiter e", "Ruiter f" };
    m_kit->clickRow(8);
    for (int step = 0; step < 2; ++step)
        QTest::keyClick(m_kit->grid(), Qt::Key_Up, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(riders().mid(1, 4), moved, 1000);
    QCOMPARE(times(), planned);

    // The office publishes new times for the same list: those are the places' times now.
    planTimes(10);
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(office)));
    m_kit->station().Timer1_Timer();
    QTRY_COMPARE_WITH_TIMEOUT(times().front(), QStringLiteral("10:26"), 1000);
    const QStringList republished = times();
    QVERIFY(std::is_sorted(republished.begin(), republished.end()));
    QCOMPARE(riders().mid(1, 4), moved);
}

void TestRiderBoard::longNamesDrawnSmallerFirst_data()
{
    QTest::addColumn<QString>("rider");
    QTest::addColumn<QString>("horse");
    QTest::addColumn<QString>("drawn"); // "full", "smaller" or "smallest, cut"

    QTest::newRow("a short name: full size") << "Jan Bos"
                                             << "Ace"
                                             << "full";
    QTest::newRow("a long name: smaller, whole") << "Anne-Marie van den Hoogenband"
                                                 << "Quibus"
                                                 << "smaller";
    QTest::newRow("far too long: two thirds, then cut")
        << "Anne-Marie van den Hoogenband-Schellekens-Bos en Anne-Marie van den Hoogenband"
        << "Zonnedauw's Quintessence van de Heuvelhoeve"
        << "smallest, cut";
}

void TestRiderBoard::longNamesDrawnSmallerFirst()
{
    QFETCH(QString, rider);
    QFETCH(QString, horse);
    QFETCH(QString, drawn);

    // The line of the starter in the ring on a full-HD board.
    const BoardStarter starter { QStringLiteral("105"), rider, horse, QString(), QString() };
    const int full = 108;
    const int room = 1920 - 2 * 21;
    auto width = [&starter](int pixels) { return RiderBoard::bigLineWidth(starter, pixels); };
    const int pixels = boardtextfit::fittedPixels(full, room, width);
    QCOMPARE(pixels >= boardtextfit::smallestPixels(full), true);
    QVERIFY(boardtextfit::smallestPixels(full) * 3 >= full * 2);
    if (drawn == QLatin1String("full")) {
        QCOMPARE(pixels, full);
    } else if (drawn == QLatin1String("smaller")) {
        QVERIFY(pixels < full && pixels > boardtextfit::smallestPixels(full));
        // As large as it fits: a pixel more and it would not.
        QVERIFY(width(pixels) <= room);
        QVERIFY(width(pixels + 1) > room);
    } else {
        QCOMPARE(pixels, boardtextfit::smallestPixels(full));
        QVERIFY(width(pixels) > room);
    }
}

void TestRiderBoard::contrast_data()
{
    QTest::addColumn<QColor>("fore");
    QTest::addColumn<QColor>("back");
    for (const boardcolours::Pair& pair : boardcolours::pairs())
        QTest::newRow(qPrintable(pair.what)) << pair.fore << pair.back;
}

void TestRiderBoard::contrast()
{
    QFETCH(QColor, fore);
    QFETCH(QColor, back);
    QVERIFY2(boardcolours::contrastRatio(fore, back) >= 7.0,
        qPrintable(QString::number(boardcolours::contrastRatio(fore, back))));
}

// Two screens: the laptop's beside the one at the in-gate.
int main(int argc, char* argv[])
{
    // The platform's arguments are split at colons, so the file is named without a drive letter: in a folder
    // made in the working folder, by a path relative to it.
    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("tst_riderboard-XXXXXX")));
    const QString config = QDir::current().relativeFilePath(dir.filePath(QStringLiteral("screens.json")));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(R"({ "screens": [
            { "name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96, "dpr": 1 },
            { "name": "ingate", "x": 1366, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1 } ] })")
            < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(config));
    QApplication app(argc, argv);
    TestRiderBoard test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_riderboard.moc"
