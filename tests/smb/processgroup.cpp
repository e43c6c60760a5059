#include "processgroup.h"

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace processgroup {

bool start(
    QProcess& process, const QString& program, const QStringList& arguments, const QString& logFile, Session session)
{
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(logFile, QIODevice::Append);
    process.setStandardErrorFile(logFile, QIODevice::Append);
    process.setChildProcessModifier([session] {
        if (session == Session::MadeHere)
            ::setsid();
        // Also when the test is killed (CTest's timeout): the server and the mount's client go with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process.start(program, arguments);
    return process.waitForStarted(10000);
}

void endWithStarter(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void signal(const QProcess& process, int signal)
{
    if (process.processId() > 0)
        ::kill(-pid_t(process.processId()), signal);
}

bool stop(QProcess& process, int graceMilliseconds)
{
    if (process.state() == QProcess::NotRunning)
        return true;
    // A frozen group takes the signal only once it runs again.
    signal(process, SIGCONT);
    signal(process, SIGTERM);
    if (process.waitForFinished(graceMilliseconds))
        return true;
    signal(process, SIGKILL);
    return process.waitForFinished(5000);
}

} // namespace processgroup
