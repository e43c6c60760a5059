#include "stopsignals.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

StopSignals::StopSignals(QObject* parent)
    : QObject(parent)
{
}

StopSignals::~StopSignals() = default;

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
        for (ssize_t i = 0; i < count; ++i) {
            ++m_received;
            emit stopRequested(int(bytes[i]));
        }
    }
}

#endif

} // namespace platform
