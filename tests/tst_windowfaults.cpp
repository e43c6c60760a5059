// Faults of the window's own life, on the real window: closing or stopping it while an arrow button is held
// or a message box is up, a stop request from outside (SIGTERM, SIGINT), re-read ticks that arrive during a
// message box or in the middle of a read, and the clock passing midnight. Each test is named after what the
// official (or the office, reading the folder) finds afterwards.
#include "clock.h"
#include "columns.h"
#include "faults.h"
#include "flexgrid.h"
#include "folderlisting.h"
#include "frmbaldovenaar.h"
#include "gridtable.h"
#include "runorderloader.h"
#include "stopsignals.h"
#include "testsupport.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

const QDateTime today(QDate(2026, 12, 7), QTime(10, 0, 0));

QByteArray classBytes(const QString& keys)
{
    QString text = QStringLiteral("owner:Ruitersport Oost\r\nwnr:12\r\nrid:7\r\neditvolgorde:1\r\neditnietgestart:1\r\n"
                                  "rij:key\tVolg\tNr\tRuiter\tPaard\tVer\t\t\t\tStatus\tNG\r\n");
    int position = 0;
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
        text += QStringLiteral("rij:%1\t%2\t\tRuiter %1\tPaard %1\t\t\t\t\t\t\r\n").arg(key).arg(++position);
    return text.toLatin1();
}

} // namespace

class TestWindowFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void heldArrowStopsAndTheClassIsClearedWhenTheWindowGoes_data();
    void heldArrowStopsAndTheClassIsClearedWhenTheWindowGoes();
    void windowDestroyedWhileAnArrowIsHeldRunsNothingOfIt();
    void closingFromAMessageBoxLeavesNoMutationFile_data();
    void closingFromAMessageBoxLeavesNoMutationFile();
    void stopSignalAnswersTheOpenBoxAndClosesTheStation_data();
    void stopSignalAnswersTheOpenBoxAndClosesTheStation();
    void stopSignalsAreCaughtOnlyWhileAsked_data();
    void stopSignalsAreCaughtOnlyWhileAsked();
#ifdef Q_OS_WIN
    void windowsStopMessagesCloseTheStationAtOnce_data();
    void windowsStopMessagesCloseTheStationAtOnce();
#endif
    void ticksDuringAMessageBoxReadOneAtATime_data();
    void ticksDuringAMessageBoxReadOneAtATime();
    void ticksDuringAReadReturnAtOnce();
    void midnightShowsTheEmptyViewUntilTheOfficeWritesAgain();

private:
    void makeWindow(bool realBoxes = false);
    void publish(const QString& keys, const QDateTime& modified);
    void follow(const QString& keys);
    // Selects row 1, moves it down one and sends: the class has its two mutation files in the folder.
    void moveAndSend();
    QString keys();
    QStringList mutationFiles() const
    {
        return platform::listFolder(m_shared->path(), QStringLiteral("*.mut*"), platform::Listing::IncludeHidden);
    }
    QString settings() const
    {
        return testsupport::savedSettings(m_config->path());
    }
    QString classPath() const
    {
        return m_shared->filePath(QStringLiteral("baldovenaar rst-0007.dvz"));
    }

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_shared;
    platform::FixedClock m_clock { today };
    std::unique_ptr<FrmBaldovenaar> m_window;
    std::function<void(const QString&)> m_onMessage;
    QStringList m_messages;
    int m_publications = 0;
};

void TestWindowFaults::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    m_shared = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid() && m_shared->isValid());
    testsupport::useOwnSettings(m_config->path());
    m_clock.setNow(today);
    m_messages.clear();
    m_onMessage = nullptr;
    m_publications = 0;
}

void TestWindowFaults::cleanup()
{
    platform::faults::clear();
    m_window.reset();
    m_shared.reset();
    m_config.reset();
}

void TestWindowFaults::makeWindow(bool realBoxes)
{
    FrmBaldovenaar::Options options;
    options.showSplash = false;
    options.clock = &m_clock;
    options.settleTime = 0; // the office here writes whole files; the clock stands still
    if (!realBoxes) {
        options.chooseFile
            = [this](const QString&, const QString&, const QString&) -> std::optional<QString> { return classPath(); };
        options.showMessage = [this](const QString& text) {
            m_messages << text;
            if (m_onMessage)
                m_onMessage(text);
        };
    }
    m_window = std::make_unique<FrmBaldovenaar>(std::move(options));
    m_window->Form_Load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestWindowFaults::publish(const QString& keys, const QDateTime& modified)
{
    QVERIFY(testsupport::writeFile(classPath(), classBytes(keys), modified));
}

void TestWindowFaults::follow(const QString& keys)
{
    // Each publication a minute later than the one before, so the station sees a new write.
    publish(keys, today.addSecs(-3600 + 60 * m_publications++));
    if (!m_window)
        makeWindow();
    m_window->state().bestandspad = classPath();
    m_window->toonbestand(true);
    QCOMPARE(m_window->gridTable(1).rows(), int(keys.count(u' ')) + 2);
}

QString TestWindowFaults::keys()
{
    QStringList keys;
    const GridTable& table = m_window->gridTable(1);
    for (int r = 1; r < table.rows(); ++r)
        keys << table.textMatrix(r, column::Key);
    return keys.join(u' ');
}

void TestWindowFaults::moveAndSend()
{
    FlexGrid* grid = m_window->grid1();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 3).center());
    QPushButton* down = m_window->btnVerplaatsregels(1);
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    QTest::mouseRelease(down, Qt::LeftButton, {}, down->rect().center());
    QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    QCOMPARE(mutationFiles().size(), 2);
}

void TestWindowFaults::heldArrowStopsAndTheClassIsClearedWhenTheWindowGoes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("closed by the official") << "close";
    QTest::newRow("asked to stop") << "stop";
    QTest::newRow("terminated (SIGTERM)") << "SIGTERM";
    QTest::newRow("interrupted (SIGINT, Ctrl+C)") << "SIGINT";
}

void TestWindowFaults::heldArrowStopsAndTheClassIsClearedWhenTheWindowGoes()
{
    QFETCH(QString, how);
    platform::StopSignals stopSignals;
    makeWindow();
    connect(&stopSignals, &platform::StopSignals::stopRequested, m_window.get(), &FrmBaldovenaar::stop);
    follow("A B C D E");
    moveAndSend();
    QCOMPARE(keys(), QString("B A C D E"));

    // The official holds the arrow down on line 1 when the window goes.
    FlexGrid* grid = m_window->grid1();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 3).center());
    QPushButton* down = m_window->btnVerplaatsregels(1);
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    QCOMPARE(keys(), QString("A B C D E"));
    QVERIFY(m_window->timerRegelsVerplaatsen()->isActive());
    if (how == u"close")
        QVERIFY(m_window->close());
    else if (how == u"stop")
        m_window->stop();
    else
        ::raise(how == u"SIGTERM" ? SIGTERM : SIGINT);
    QTRY_VERIFY(m_window->isUnloaded());

    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->timerRegelsVerplaatsen()->isActive());
    QVERIFY(!m_window->timer1()->isActive());
    QTest::qWait(450); // long enough for three repeats
    QCOMPARE(keys(), QString("A B C D E"));
    // What closing always does: the class's mutation files go, the settings stay for the next start.
    QCOMPARE(mutationFiles(), QStringList());
    QVERIFY2(settings().contains("lastfile=" + classPath()), qPrintable(settings()));
    QVERIFY(settings().contains("scale="));
    QCOMPARE(stopSignals.received(), how.startsWith(u"SIG") ? 1 : 0);
}

void TestWindowFaults::windowDestroyedWhileAnArrowIsHeldRunsNothingOfIt()
{
    // The held button reports its lost hold while QWidget's destructor hides it, after the window's own part
    // is gone: a handler run then works on a half-destroyed window (the sanitizer build reports it).
    follow("A B C");
    QPushButton* down = m_window->btnVerplaatsregels(1);
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    QVERIFY(m_window->timerRegelsVerplaatsen()->isActive());
    m_window.reset();
    QTest::qWait(150);
}

void TestWindowFaults::closingFromAMessageBoxLeavesNoMutationFile_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("how");
    for (const char* message : { "a failed send", "a refused swap" }) {
        for (const char* how : { "close", "stop" })
            QTest::addRow("%s, %s", message, how) << message << how;
    }
}

void TestWindowFaults::closingFromAMessageBoxLeavesNoMutationFile()
{
    QFETCH(QString, message);
    QFETCH(QString, how);
    follow("A B C");
    moveAndSend();
    m_onMessage = [&](const QString&) {
        if (how == u"close")
            m_window->close();
        else
            m_window->stop();
        QVERIFY(m_window->isUnloaded());
    };
    if (message == u"a failed send") {
        // The s copy fails, the h copy is written: the official is told while the window closes.
        platform::faults::inject(
            platform::faults::Operation::Write, QStringLiteral("-s.mut"), QStringLiteral("Schijf vol"));
        m_clock.setNow(today.addSecs(5));
        QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    } else {
        QTest::mouseClick(m_window->btnKnop(5), Qt::LeftButton);
    }
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_window->isUnloaded());
    QVERIFY(!m_window->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(mutationFiles(), QStringList());
    QVERIFY(settings().contains("lastfile=" + classPath()));
    // Nothing of the window runs on: no tick, no send.
    m_window->Timer1_Timer();
    QVERIFY(!m_window->timer1()->isActive());
    QCOMPARE(mutationFiles(), QStringList());
}

void TestWindowFaults::stopSignalAnswersTheOpenBoxAndClosesTheStation_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("a message box") << "message";
    QTest::newRow("the open dialog") << "open";
}

void TestWindowFaults::stopSignalAnswersTheOpenBoxAndClosesTheStation()
{
    QFETCH(QString, box);
    platform::StopSignals stopSignals;
    makeWindow(true);
    connect(&stopSignals, &platform::StopSignals::stopRequested, m_window.get(), &FrmBaldovenaar::stop);
    follow("A B C");
    // The signal arrives while the box waits for the official.
    bool boxWasOpen = false;
    QTimer::singleShot(200, this, [&] {
        boxWasOpen = QApplication::activeModalWidget() != nullptr;
        ::raise(SIGTERM);
    });
    if (box == u"message")
        QTest::mouseClick(m_window->btnKnop(5), Qt::LeftButton); // one row selected: "Selecteer 2 rijen"
    else
        m_window->kiesbestand();

    QVERIFY(boxWasOpen);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(m_window->isUnloaded());
    QVERIFY(!m_window->isVisible());
    // The open command leaves the timer off and reads nothing after the stop.
    QVERIFY(!m_window->timer1()->isActive());
    QCOMPARE(keys(), QString("A B C"));
    QVERIFY(settings().contains("lastfile=" + classPath()));
}

namespace {

// The handler in force for a signal. Windows has no sigaction: there signal() tells, when a handler is set.
void* handlerOf(int signalNumber)
{
#ifdef Q_OS_WIN
    const auto handler = std::signal(signalNumber, SIG_DFL);
    std::signal(signalNumber, handler);
    return reinterpret_cast<void*>(handler);
#else
    struct sigaction action = {};
    if (::sigaction(signalNumber, nullptr, &action) != 0)
        return nullptr;
    return reinterpret_cast<void*>(action.sa_handler);
#endif
}

} // namespace

void TestWindowFaults::stopSignalsAreCaughtOnlyWhileAsked_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
#ifdef Q_OS_WIN
    QTest::newRow("SIGBREAK (Ctrl+Break)") << int(SIGBREAK);
#endif
}

void TestWindowFaults::stopSignalsAreCaughtOnlyWhileAsked()
{
    QFETCH(int, signalNumber);
    void* const before = handlerOf(signalNumber);
    {
        platform::StopSignals stopSignals;
        QSignalSpy requests(&stopSignals, &platform::StopSignals::stopRequested);
        platform::StopSignals second; // a second instance does nothing
        ::raise(signalNumber);
        ::raise(signalNumber);
        QTRY_COMPARE(requests.size(), 2);
        QCOMPARE(requests.at(0).at(0).toInt(), signalNumber);
        QCOMPARE(second.received(), 0);
    }
    // The process's own handling is back.
    QCOMPARE(handlerOf(signalNumber), before);
}

#ifdef Q_OS_WIN
void TestWindowFaults::windowsStopMessagesCloseTheStationAtOnce_data()
{
    QTest::addColumn<uint>("message");
    QTest::addColumn<bool>("toTheThread"); // posted to the thread rather than sent to a window
    QTest::addColumn<bool>("wParam");
    QTest::addColumn<bool>("stops");
    QTest::newRow("Windows logs off or shuts down") << uint(WM_ENDSESSION) << false << true << true;
    QTest::newRow("the end of the session called off") << uint(WM_ENDSESSION) << false << false << false;
    QTest::newRow("another program asks it to end (QProcess::terminate)") << uint(WM_CLOSE) << true << false << true;
    QTest::newRow("a window's own close is left to the window") << uint(WM_CLOSE) << false << false << false;
}

// A program with windows learns of a logoff or shutdown only through WM_ENDSESSION, and Windows ends it as soon
// as the window procedure returns: the station has closed, as the official would close it, before that.
void TestWindowFaults::windowsStopMessagesCloseTheStationAtOnce()
{
    QFETCH(uint, message);
    QFETCH(bool, toTheThread);
    QFETCH(bool, wParam);
    QFETCH(bool, stops);
    platform::StopSignals stopSignals;
    makeWindow();
    connect(&stopSignals, &platform::StopSignals::stopRequested, m_window.get(), &FrmBaldovenaar::stop);
    follow("A B C");
    moveAndSend();

    // The message as Qt takes it from the queue, once for every top-level window (the offscreen platform has
    // no real window handles: one stands in).
    MSG msg {};
    msg.hwnd = toTheThread ? nullptr : reinterpret_cast<HWND>(m_window->winId());
    msg.message = message;
    msg.wParam = wParam ? TRUE : FALSE;
    qintptr result = 0;
    for (int window = 0; window < 2; ++window)
        QAbstractEventDispatcher::instance()->filterNativeEvent("windows_generic_MSG", &msg, &result);
    QCOMPARE(m_window->isUnloaded(), stops);
    QCOMPARE(mutationFiles().isEmpty(), stops);
    if (stops)
        QVERIFY(settings().contains("lastfile=" + classPath()));
}
#endif

void TestWindowFaults::ticksDuringAMessageBoxReadOneAtATime_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("after a failed send") << "send";
    QTest::newRow("after a refused swap") << "swap";
}

void TestWindowFaults::ticksDuringAMessageBoxReadOneAtATime()
{
    QFETCH(QString, message);
    follow("A B C");
    int reading = 0;
    int deepest = 0;
    int reads = 0;
    m_window->runOrderLoader().setReadHooks({ [&] {
                                                 ++reads;
                                                 deepest = std::max(deepest, ++reading);
                                             },
        [&] { --reading; } });
    // While the box is up, the office publishes a new list and the re-read timer ticks on (the box runs an
    // event loop of its own).
    m_onMessage = [&](const QString&) {
        publish("A B C D", today.addSecs(60));
        m_window->timer1()->setInterval(10);
        QTest::qWait(150);
    };
    if (message == u"send") {
        FlexGrid* grid = m_window->grid1();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 3).center());
        QPushButton* down = m_window->btnVerplaatsregels(1);
        QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
        QTest::mouseRelease(down, Qt::LeftButton, {}, down->rect().center());
        platform::faults::inject(
            platform::faults::Operation::Open, QStringLiteral(".mut"), QStringLiteral("Geen toegang"));
        QTest::mouseClick(m_window->btnKnop(4), Qt::LeftButton);
    } else {
        QTest::mouseClick(m_window->btnKnop(5), Qt::LeftButton);
    }
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(reads >= 1);
    QCOMPARE(deepest, 1);
    QCOMPARE(reading, 0);
    QCOMPARE(keys(), QString("A B C D"));
    QVERIFY(!m_window->state().bezigmetladen);
    QVERIFY(!m_window->state().timerbezig);
    QCOMPARE(mutationFiles(), QStringList());
}

void TestWindowFaults::ticksDuringAReadReturnAtOnce()
{
    follow("A B C");
    publish("A B C D", today.addSecs(60));
    int reads = 0;
    int deepest = 0;
    int reading = 0;
    // A box shown in the middle of a read (its event loop lets the timer tick), and direct calls too.
    m_window->runOrderLoader().setReadHooks({ [&] {
                                                 ++reads;
                                                 deepest = std::max(deepest, ++reading);
                                                 m_window->timer1()->setInterval(10);
                                                 QTest::qWait(100);
                                                 m_window->Timer1_Timer();
                                                 m_window->toonbestand(true);
                                             },
        [&] { --reading; } });
    m_window->Timer1_Timer();
    m_window->runOrderLoader().setReadHooks({});
    QCOMPARE(reads, 1);
    QCOMPARE(deepest, 1);
    QCOMPARE(keys(), QString("A B C D"));
    QVERIFY(!m_window->state().bezigmetladen);
    QVERIFY(!m_window->state().timerbezig);
}

void TestWindowFaults::midnightShowsTheEmptyViewUntilTheOfficeWritesAgain()
{
    const QDateTime lateEvening(QDate(2026, 12, 7), QTime(23, 50, 0));
    m_clock.setNow(lateEvening);
    makeWindow();
    publish("A B C", lateEvening.addSecs(-60));
    m_window->state().bestandspad = classPath();
    m_window->toonbestand(true);
    FlexGrid* grid = m_window->grid1();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 3).center());
    QPushButton* down = m_window->btnVerplaatsregels(1);
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    QTest::mouseRelease(down, Qt::LeftButton, {}, down->rect().center());
    QCOMPARE(keys(), QString("B A C"));

    // A second past midnight the file is of yesterday: the empty view, nothing to edit or send.
    m_clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1)));
    m_window->Timer1_Timer();
    QVERIFY(!grid->isVisible());
    QCOMPARE(m_window->windowTitle(), RunOrderLoader::plainCaption());
    for (int index : { 1, 4, 5 })
        QVERIFY(!m_window->btnKnop(index)->isEnabled());
    QCOMPARE(m_window->state().bestandspad, classPath());
    m_clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(7, 30, 0)));
    m_window->Timer1_Timer();
    QVERIFY(!grid->isVisible());

    // The office's first write of the day brings it back, the ring's unsent move merged into it.
    publish("A B C", QDateTime(QDate(2026, 12, 8), QTime(7, 45, 0)));
    m_clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(7, 45, 3)));
    m_window->Timer1_Timer();
    QVERIFY(grid->isVisible());
    QCOMPARE(keys(), QString("B A C"));
    QVERIFY(m_window->btnKnop(4)->isEnabled());
    QVERIFY(m_window->windowTitle().endsWith("baldovenaar rst-0007 (Ruitersport Oost)"));
    QVERIFY(m_window->close());
    QVERIFY(settings().contains("lastfile=" + classPath()));
}

QTEST_MAIN(TestWindowFaults)
#include "tst_windowfaults.moc"
