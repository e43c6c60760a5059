// Faults of the station's life: on the real window, closing or stopping it while a move button is held or
// a message box is up, and a stop request from outside (SIGTERM, SIGINT); on the station alone, re-read
// ticks that arrive while a message is up or in the middle of a read, and the clock passing midnight. Each
// test is named after what the official (or the office, reading the folder) finds afterwards.
#include "classfile.h"
#include "faults.h"
#include "files.h"
#include "holdbutton.h"
#include "stopsignals.h"
#include "windowfixture.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <memory>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using testsupport::classBytes;
using testsupport::keysOf;

class TestWindowFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void heldMoveButtonStopsAndTheClassIsClearedWhenTheWindowGoes_data();
    void heldMoveButtonStopsAndTheClassIsClearedWhenTheWindowGoes();
    void windowDestroyedWhileAMoveButtonIsHeldRunsNothingOfIt();
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
    void ticksDuringAMessageReadOneAtATime_data();
    void ticksDuringAMessageReadOneAtATime();
    void ticksDuringAReadReturnAtOnce();
    void midnightKeepsTheListUntilTheOfficeWritesAgain();

private:
    Station& station()
    {
        return m_kit->station();
    }
    QString keys()
    {
        return keysOf(station().working());
    }
    // A press and a release of a move button, as the official clicks it.
    void clickMoveButton(regels::Richting richting);
    // Moves line 1 down one place and sends: the class has its two mutation files in the folder.
    void moveAndSend();
    QString settings() const
    {
        return testsupport::savedSettings(m_kit->configFolder());
    }

    std::unique_ptr<testsupport::WindowFixture> m_kit;
};

void TestWindowFaults::init()
{
    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
}

void TestWindowFaults::cleanup()
{
    platform::faults::clear();
    m_kit.reset();
}

void TestWindowFaults::clickMoveButton(regels::Richting richting)
{
    HoldButton* button = m_kit->moveButton(richting);
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
}

void TestWindowFaults::moveAndSend()
{
    m_kit->clickRow(1);
    clickMoveButton(regels::Richting::Omlaag);
    QTest::mouseClick(m_kit->button(knoppen::Verzenden), Qt::LeftButton);
    QCOMPARE(m_kit->mutationFiles().size(), 2);
}

void TestWindowFaults::heldMoveButtonStopsAndTheClassIsClearedWhenTheWindowGoes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("closed by the official") << "close";
    QTest::newRow("asked to stop") << "stop";
    QTest::newRow("terminated (SIGTERM)") << "SIGTERM";
    QTest::newRow("interrupted (SIGINT, Ctrl+C)") << "SIGINT";
}

void TestWindowFaults::heldMoveButtonStopsAndTheClassIsClearedWhenTheWindowGoes()
{
    QFETCH(QString, how);
    platform::StopSignals stopSignals;
    FrmBaldovenaar& window = m_kit->makeWindow();
    connect(&stopSignals, &platform::StopSignals::stopRequested, &window, &FrmBaldovenaar::stop);
    QVERIFY(m_kit->openClass(classBytes("A B C D E")));
    moveAndSend();
    QCOMPARE(keys(), QString("B A C D E"));

    // The official holds the move button down on line 1 when the window goes.
    m_kit->clickRow(1);
    HoldButton* down = m_kit->moveButton(regels::Richting::Omlaag);
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    QCOMPARE(keys(), QString("A B C D E"));
    QVERIFY(station().timerRegelsVerplaatsen()->isActive());
    if (how == u"close")
        QVERIFY(window.close());
    else if (how == u"stop")
        window.stop();
    else
        ::raise(how == u"SIGTERM" ? SIGTERM : SIGINT);
    QTRY_VERIFY(window.isUnloaded());

    QVERIFY(!window.isVisible());
    QVERIFY(!station().timerRegelsVerplaatsen()->isActive());
    QVERIFY(!station().timer1()->isActive());
    QTest::qWait(450); // long enough for three repeats
    QCOMPARE(keys(), QString("A B C D E"));
    // What closing always does: the class's mutation files go, the settings stay for the next start.
    QCOMPARE(m_kit->mutationFiles(), QStringList());
    QVERIFY2(settings().contains("lastfile=" + m_kit->classPath()), qPrintable(settings()));
    QVERIFY(settings().contains("scale="));
    QCOMPARE(stopSignals.received(), how.startsWith(u"SIG") ? 1 : 0);
}

void TestWindowFaults::windowDestroyedWhileAMoveButtonIsHeldRunsNothingOfIt()
{
    // The held button reports its lost hold while QWidget's destructor hides it, after the window's own part
    // is gone: a handler run then works on a half-destroyed window (the sanitizer build reports it). The
    // window goes first, then its station, as at the end of the program.
    m_kit->makeWindow();
    QVERIFY(m_kit->openClass(classBytes("A B C")));
    HoldButton* down = m_kit->moveButton(regels::Richting::Omlaag);
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    QVERIFY(station().timerRegelsVerplaatsen()->isActive());
    m_kit->destroyStation();
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
    FrmBaldovenaar& window = m_kit->makeWindow();
    QVERIFY(m_kit->openClass(classBytes("A B C")));
    moveAndSend();
    // While the window shows the message, the official closes it (or it is asked to stop).
    connect(&station(), &Station::message, this, [&] {
        if (how == u"close")
            window.close();
        else
            window.stop();
        QVERIFY(window.isUnloaded());
    });
    if (message == u"a failed send") {
        // The s copy fails, the h copy is written: the official is told while the window closes.
        platform::faults::inject(
            platform::faults::Operation::Write, QStringLiteral("-s.mut"), QStringLiteral("Schijf vol"));
        m_kit->clock.setNow(m_kit->today().addSecs(5));
        QTest::mouseClick(m_kit->button(knoppen::Verzenden), Qt::LeftButton);
    } else {
        QTest::mouseClick(m_kit->button(knoppen::Wissel), Qt::LeftButton);
    }
    QCOMPARE(m_kit->messages.size(), 1);
    QVERIFY(window.isUnloaded());
    QVERIFY(!window.isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(m_kit->mutationFiles(), QStringList());
    QVERIFY(settings().contains("lastfile=" + m_kit->classPath()));
    // Nothing of the station runs on: no tick, no send.
    station().Timer1_Timer();
    QVERIFY(!station().timer1()->isActive());
    QCOMPARE(m_kit->mutationFiles(), QStringList());
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
    m_kit->realMessageBoxes = true;
    FrmBaldovenaar& window = m_kit->makeWindow(true, true);
    connect(&stopSignals, &platform::StopSignals::stopRequested, &window, &FrmBaldovenaar::stop);
    QVERIFY(m_kit->follow(classBytes("A B C")));
    // The signal arrives while the box waits for the official.
    bool boxWasOpen = false;
    QTimer::singleShot(200, this, [&] {
        boxWasOpen = QApplication::activeModalWidget() != nullptr;
        ::raise(SIGTERM);
    });
    if (box == u"message")
        QTest::mouseClick(m_kit->button(knoppen::Wissel), Qt::LeftButton); // one row selected: "Selecteer 2 rijen"
    else
        window.kiesbestand();

    QVERIFY(boxWasOpen);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(window.isUnloaded());
    QVERIFY(!window.isVisible());
    // The open command leaves the timer off and reads nothing after the stop.
    QVERIFY(!station().timer1()->isActive());
    QCOMPARE(keys(), QString("A B C"));
    QVERIFY(settings().contains("lastfile=" + m_kit->classPath()));
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
    FrmBaldovenaar& window = m_kit->makeWindow();
    connect(&stopSignals, &platform::StopSignals::stopRequested, &window, &FrmBaldovenaar::stop);
    QVERIFY(m_kit->openClass(classBytes("A B C")));
    moveAndSend();

    // The message as Qt takes it from the queue, once for every top-level window (the offscreen platform has
    // no real window handles: one stands in).
    MSG msg {};
    msg.hwnd = toTheThread ? nullptr : reinterpret_cast<HWND>(window.winId());
    msg.message = message;
    msg.wParam = wParam ? TRUE : FALSE;
    qintptr result = 0;
    for (int window = 0; window < 2; ++window)
        QAbstractEventDispatcher::instance()->filterNativeEvent("windows_generic_MSG", &msg, &result);
    QCOMPARE(window.isUnloaded(), stops);
    QCOMPARE(m_kit->mutationFiles().isEmpty(), stops);
    if (stops)
        QVERIFY(settings().contains("lastfile=" + m_kit->classPath()));
}
#endif

void TestWindowFaults::ticksDuringAMessageReadOneAtATime_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("after a failed send") << "send";
    QTest::newRow("after a refused swap") << "swap";
}

void TestWindowFaults::ticksDuringAMessageReadOneAtATime()
{
    QFETCH(QString, message);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("A B C")));
    int reading = 0;
    int deepest = 0;
    int reads = 0;
    s.setReadHooks({ [&] {
                        ++reads;
                        deepest = std::max(deepest, ++reading);
                    },
        [&] { --reading; } });
    // While the message is up, the office publishes a new list and the re-read timer ticks on (a message box
    // runs an event loop of its own).
    connect(&s, &Station::message, this, [&] {
        QVERIFY(m_kit->publish(classBytes("A B C D")));
        s.setCheckInterval(10);
        QTest::qWait(150);
    });
    if (message == u"send") {
        testsupport::selectRow(s, 1);
        s.verplaatsregel(regels::Richting::Omlaag);
        platform::faults::inject(
            platform::faults::Operation::Open, QStringLiteral(".mut"), QStringLiteral("Geen toegang"));
        s.verzendmutatie();
    } else {
        s.wisselrijen();
    }
    QCOMPARE(m_kit->messages.size(), 1);
    QVERIFY(reads >= 1);
    QCOMPARE(deepest, 1);
    QCOMPARE(reading, 0);
    QCOMPARE(keys(), QString("A B C D"));
    QVERIFY(!s.state().bezigmetladen);
    QVERIFY(!s.state().timerbezig);
    QCOMPARE(m_kit->mutationFiles(), QStringList());
}

void TestWindowFaults::ticksDuringAReadReturnAtOnce()
{
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("A B C")));
    QVERIFY(m_kit->publish(classBytes("A B C D")));
    int reads = 0;
    int deepest = 0;
    int reading = 0;
    // An event loop in the middle of a read (a message box's lets the timer tick), and direct calls too.
    s.setReadHooks({ [&] {
                        ++reads;
                        deepest = std::max(deepest, ++reading);
                        s.setCheckInterval(10);
                        QTest::qWait(100);
                        s.Timer1_Timer();
                        s.toonbestand(true);
                    },
        [&] { --reading; } });
    s.Timer1_Timer();
    s.setReadHooks({});
    QCOMPARE(reads, 1);
    QCOMPARE(deepest, 1);
    QCOMPARE(keys(), QString("A B C D"));
    QVERIFY(!s.state().bezigmetladen);
    QVERIFY(!s.state().timerbezig);
}

void TestWindowFaults::midnightKeepsTheListUntilTheOfficeWritesAgain()
{
    const QDateTime lateEvening(QDate(2026, 12, 7), QTime(23, 50, 0));
    m_kit->clock.setNow(lateEvening);
    Station& s = m_kit->makeStation();
    QVERIFY(m_kit->follow(classBytes("A B C")));
    testsupport::selectRow(s, 1);
    s.verplaatsregel(regels::Richting::Omlaag);
    QCOMPARE(keys(), QString("B A C"));

    // Past midnight the file is of yesterday, but the class goes on: the list stays, with the ring's move, and
    // can still be sent.
    for (const QTime at : { QTime(0, 0, 1), QTime(7, 30, 0) }) {
        m_kit->clock.setNow(QDateTime(QDate(2026, 12, 8), at));
        s.Timer1_Timer();
        QVERIFY(s.listShown());
        QCOMPARE(keys(), QString("B A C"));
        QVERIFY(s.buttons().verzenden);
        QVERIFY(s.caption().endsWith("baldovenaar rst-0007 (Ruitersport Oost)"));
    }

    // The office's first write of the day is read as ever, the ring's unsent move merged into it.
    QVERIFY(testsupport::writeFile(
        m_kit->classPath(), classBytes("A B C"), QDateTime(QDate(2026, 12, 8), QTime(7, 45, 0))));
    m_kit->clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(7, 45, 3)));
    s.Timer1_Timer();
    QVERIFY(s.listShown());
    QCOMPARE(keys(), QString("B A C"));
    QVERIFY(s.buttons().verzenden);
    s.unload();
    QVERIFY(settings().contains("lastfile=" + m_kit->classPath()));
}

QTEST_MAIN(TestWindowFaults)
#include "tst_windowfaults.moc"
