#pragma once

#include <QObject>
#include <memory>

class QAbstractNativeEventFilter;
class QSocketNotifier;

namespace platform {

// The requests to stop that reach a desktop program from outside: SIGTERM (a shutdown, a logout, a service
// manager, `kill`) and SIGINT (Ctrl+C in the terminal it was started from). Without this the process would
// end on the spot, without saving its settings or clearing its files. While an instance lives, such a signal
// no longer ends the process; stopRequested() is emitted instead, on the thread that made the instance,
// from its event loop (also a nested one: a message box, a dialog), never from inside the signal handler.
//
// The handler only writes a byte to a socket pair that a QSocketNotifier watches, which is all a signal
// handler may safely do. One instance at a time (a second one does nothing); the previous handlers come back
// when it is destroyed.
//
// Windows has no kill: there the requests are Ctrl+C and Ctrl+Break in the console (SIGINT, SIGBREAK, through
// the C run-time's signals, which raise() reaches too), the closing of the console window, a logoff or a
// shutdown (SIGTERM): to a console program as a console event, whose thread waits (up to 4 seconds) until the
// request was handled, since the system ends the process when it returns; to a program with windows as
// WM_ENDSESSION, which is handled before the window procedure returns, for the same reason. Another program
// asks with WM_CLOSE posted to the main thread (QProcess::terminate()), also SIGTERM.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // The signals received so far, in order.
    int received() const { return m_received; }

    // Handles one request now, on the instance's thread: counts it and emits stopRequested(). Called by the
    // system's side of this class; public only because a handler outside the class must reach it.
    void deliver(int signalNumber);

signals:
    void stopRequested(int signalNumber);

private:
    void readSignal();

    bool m_installed = false;
    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<QAbstractNativeEventFilter> m_messageFilter;
    int m_received = 0;
};

} // namespace platform
