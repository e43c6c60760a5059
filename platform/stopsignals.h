#pragma once

#include <QObject>

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
// when it is destroyed. On platforms without these signals (Windows) it does nothing.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // The signals received so far, in order.
    int received() const { return m_received; }

signals:
    void stopRequested(int signalNumber);

private:
    void readSignal();

    bool m_installed = false;
    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
};

} // namespace platform
