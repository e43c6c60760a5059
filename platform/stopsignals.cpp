#include "stopsignals.h"

#include <QAbstractNativeEventFilter>
#include <QSocketNotifier>
#include <csignal>

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <qt_windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace platform {

void StopSignals::deliver(int signalNumber)
{
    ++m_received;
    emit stopRequested(signalNumber);
}

#ifdef Q_OS_WIN

namespace {

// The C run-time calls a signal handler on the thread that raised the signal, and for Ctrl+C and Ctrl+Break on
// a thread the system starts; console events come on such a thread too. Nothing is interrupted on Windows, so
// a handler may lock and post to the instance's thread; the mutex keeps the instance alive meanwhile.
std::mutex instanceMutex;
std::condition_variable handledCondition;
StopSignals* instance = nullptr;
int posted = 0; // requests posted and handled, under the mutex
int handled = 0;
constexpr int handledSignals[] = { SIGTERM, SIGINT, SIGBREAK };
using SignalHandler = void (*)(int);
SignalHandler previousHandlers[std::size(handledSignals)];

// Posts a request to the instance's thread; the number it will have when handled, or 0 without an instance.
int post(int signalNumber)
{
    const std::lock_guard lock(instanceMutex);
    if (!instance)
        return 0;
    StopSignals* target = instance;
    QMetaObject::invokeMethod(
        target,
        [target, signalNumber] {
            target->deliver(signalNumber);
            const std::lock_guard done(instanceMutex);
            ++handled;
            handledCondition.notify_all();
        },
        Qt::QueuedConnection);
    return ++posted;
}

extern "C" void onStopSignal(int signalNumber)
{
    // The run-time puts the default handling back before it calls a handler: take the signal again.
    std::signal(signalNumber, onStopSignal);
    post(signalNumber);
}

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE; // Ctrl+C and Ctrl+Break come through the run-time's signals
    const int number = post(SIGTERM);
    if (number == 0)
        return FALSE;
    // The system ends the process when this returns, and after 5 seconds at the latest.
    std::unique_lock lock(instanceMutex);
    handledCondition.wait_for(lock, std::chrono::seconds(4), [number] { return handled >= number || !instance; });
    return TRUE;
}

// The requests that come as window messages, handled at once on the thread that gets them:
// - WM_ENDSESSION: Windows is logging off or shutting down, and ends the process as soon as the window
//   procedure returns. Every top-level window gets it; once is enough.
// - WM_CLOSE posted to the thread rather than to a window: how another program asks a console program to end
//   (QProcess::terminate(), which kantoor's users and tests use).
class WindowMessageFilter : public QAbstractNativeEventFilter
{
public:
    explicit WindowMessageFilter(StopSignals* stopSignals)
        : m_stopSignals(stopSignals)
    {
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam && !m_sessionEnded) {
            m_sessionEnded = true;
            m_stopSignals->deliver(SIGTERM);
        } else if (msg->message == WM_CLOSE && !msg->hwnd) {
            m_stopSignals->deliver(SIGTERM);
            return true; // no window to pass it to
        }
        return false; // Qt's own handling follows
    }

private:
    StopSignals* m_stopSignals;
    bool m_sessionEnded = false;
};

} // namespace

StopSignals::StopSignals(QObject* parent)
    : QObject(parent)
{
    {
        const std::lock_guard lock(instanceMutex);
        if (instance)
            return; // another instance handles them
        instance = this;
    }
    for (std::size_t i = 0; i < std::size(handledSignals); ++i)
        previousHandlers[i] = std::signal(handledSignals[i], onStopSignal);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    if (QCoreApplication* application = QCoreApplication::instance()) {
        m_messageFilter = std::make_unique<WindowMessageFilter>(this);
        application->installNativeEventFilter(m_messageFilter.get());
    }
    m_installed = true;
}

StopSignals::~StopSignals()
{
    if (!m_installed)
        return;
    if (m_messageFilter && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_messageFilter.get());
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    for (std::size_t i = 0; i < std::size(handledSignals); ++i)
        std::signal(handledSignals[i], previousHandlers[i]);
    const std::lock_guard lock(instanceMutex);
    instance = nullptr;
    handledCondition.notify_all();
}

void StopSignals::readSignal() { }

#else

namespace {

// The write end for the handler and the read end for the notifier. Plain ints, as the handler may touch
// nothing else; -1 while no instance lives.
int signalSockets[2] = { -1, -1 };
constexpr int handledSignals[] = { SIGTERM, SIGINT };
struct sigaction previousActions[std::size(handledSignals)];

extern "C" void onStopSignal(int signalNumber)
{
    const int savedErrno = errno; // the interrupted code may be about to read errno
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full socket already holds a request: this one may be dropped.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(QObject* parent)
    : QObject(parent)
{
    if (signalSockets[0] >= 0)
        return; // another instance handles them
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        signalSockets[0] = signalSockets[1] = -1;
        return; // the signals keep their default effect
    }
    // The handler must never block, whatever happens to the reading side.
    ::fcntl(signalSockets[0], F_SETFL, ::fcntl(signalSockets[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(signalSockets[1], F_SETFL, ::fcntl(signalSockets[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // interrupted system calls of the GUI thread carry on
    for (std::size_t i = 0; i < std::size(handledSignals); ++i)
        ::sigaction(handledSignals[i], &action, &previousActions[i]);
    m_installed = true;
}

StopSignals::~StopSignals()
{
    if (!m_installed)
        return;
    for (std::size_t i = 0; i < std::size(handledSignals); ++i)
        ::sigaction(handledSignals[i], &previousActions[i], nullptr);
    delete m_notifier;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void StopSignals::readSignal()
{
    unsigned char bytes[16];
    for (;;) {
        const ssize_t count = ::read(signalSockets[1], bytes, sizeof bytes);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        for (ssize_t i = 0; i < count; ++i)
            deliver(int(bytes[i]));
    }
}

#endif

} // namespace platform
