#include "sambaserver.h"

#include "processgroup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Whether something takes connections on 127.0.0.1:445. On the loopback a refusal comes at once.
bool listening()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(445);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

SambaServer::SambaServer(QString folder)
    : m_folder(std::move(folder))
{
}

SambaServer::~SambaServer()
{
    stop();
}

bool SambaServer::writeConfiguration(QString* why) const
{
    for (const char* sub : { "korvalen", "lock", "state", "cache", "pid", "private", "ncalrpc", "binddns" }) {
        if (!QDir().mkpath(m_folder + u'/' + QLatin1String(sub))) {
            *why = QStringLiteral("cannot make %1/%2").arg(m_folder, QLatin1String(sub));
            return false;
        }
    }
    // Everything smbd keeps goes below the folder, so the machine's own Samba set-up is neither read nor
    // changed; guests are let in and write as root, as the office's share lets the ring laptop write.
    const QString configuration = QStringLiteral("[global]\n"
                                                 "server role = standalone server\n"
                                                 "smb ports = 445\n"
                                                 "interfaces = 127.0.0.1\n"
                                                 "bind interfaces only = yes\n"
                                                 "disable netbios = yes\n"
                                                 "map to guest = Bad User\n"
                                                 "load printers = no\n"
                                                 "printing = bsd\n"
                                                 "printcap name = /dev/null\n"
                                                 "disable spoolss = yes\n"
                                                 "lock directory = %1/lock\n"
                                                 "state directory = %1/state\n"
                                                 "cache directory = %1/cache\n"
                                                 "pid directory = %1/pid\n"
                                                 "private dir = %1/private\n"
                                                 "ncalrpc dir = %1/ncalrpc\n"
                                                 "binddns dir = %1/binddns\n"
                                                 "log file = %1/smbd.log\n"
                                                 "log level = 1\n"
                                                 "[korvalen]\n"
                                                 "path = %1/korvalen\n"
                                                 "guest ok = yes\n"
                                                 "read only = no\n"
                                                 "force user = root\n")
                                      .arg(m_folder);
    QFile file(m_folder + QStringLiteral("/smb.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(configuration.toUtf8()) < 0) {
        *why = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

bool SambaServer::start(QString* why)
{
    if (running())
        return true;
    if (!writeConfiguration(why))
        return false;
    // -F: in the foreground, so it is this process's child. It makes a session of its own (no
    // --no-process-group), which matters: smbd signals its whole process group when it ends.
    if (!processgroup::start(m_process, QStringLiteral("smbd"),
            { QStringLiteral("-F"), QStringLiteral("-s"), m_folder + QStringLiteral("/smb.conf") },
            m_folder + QStringLiteral("/smbd.out"), processgroup::Session::MadeByProgram)) {
        *why = QStringLiteral("smbd does not start: %1").arg(m_process.errorString());
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!listening()) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running) {
            *why = QStringLiteral("smbd does not take connections on 127.0.0.1:445 (see %1/smbd.log)").arg(m_folder);
            stop();
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

void SambaServer::stop()
{
    processgroup::stop(m_process, 5000);
}

void SambaServer::freeze()
{
    processgroup::signal(m_process, SIGSTOP);
}

void SambaServer::thaw()
{
    processgroup::signal(m_process, SIGCONT);
}
