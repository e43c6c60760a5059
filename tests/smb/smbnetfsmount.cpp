#include "smbnetfsmount.h"

#include "processgroup.h"
#include "withindeadline.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>
#include <sys/mount.h>

SmbNetFsMount::SmbNetFsMount(QString mountPoint, QString home, QString share)
    : m_mountPoint(std::move(mountPoint))
    , m_home(std::move(home))
    , m_share(std::move(share))
{
}

SmbNetFsMount::~SmbNetFsMount()
{
    unmount();
}

bool SmbNetFsMount::isMounted(const QString& path)
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return false;
    // Spaces in a mount point are written as \040; the test's paths have none.
    const QByteArray field = ' ' + QFile::encodeName(path) + ' ';
    return mounts.readAll().contains(field);
}

void SmbNetFsMount::detach(const QString& path)
{
    ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}

bool SmbNetFsMount::writeConfiguration(QString* why) const
{
    const QString folder = m_home + QStringLiteral("/.smb");
    if (!QDir().mkpath(folder) || !QDir().mkpath(m_mountPoint)) {
        *why = QStringLiteral("cannot make %1 or %2").arg(folder, m_mountPoint);
        return false;
    }
    // The client library reads ~/.smb/smb.conf; smbnetfs reads ~/.smb/smbnetfs.conf, and only when no one
    // else may read it (it may hold passwords). Browsing the workgroup is switched off: only the one host.
    const struct
    {
        const char* name;
        QByteArray text;
    } files[] = {
        { "smb.conf", "[global]\nsmb ports = 445\n" },
        { "smbnetfs.conf",
            "auth \"guest\" \"\"\nhost 127.0.0.1 visible=true\nsmb_query_browsers \"false\"\nlog_file \""
                + QFile::encodeName(m_home) + "/smbnetfs.log\"\n" },
    };
    for (const auto& file : files) {
        QFile out(folder + u'/' + QLatin1String(file.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(file.text) < 0
            || !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            *why = QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString());
            return false;
        }
    }
    return true;
}

bool SmbNetFsMount::mount(const QString& probe, QString* why)
{
    if (!writeConfiguration(why))
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home);
    m_process.setProcessEnvironment(environment);
    // -f: in the foreground, so that it stays this process's child and its end is seen.
    if (!processgroup::start(m_process, QStringLiteral("smbnetfs"), { m_mountPoint, QStringLiteral("-f") },
            m_home + QStringLiteral("/smbnetfs.out"))) {
        *why = QStringLiteral("smbnetfs does not start: %1").arg(m_process.errorString());
        return false;
    }
    const QString folder = shareFolder() + u'/' + probe;
    const QDeadlineTimer deadline(15000);
    while (!isMounted(m_mountPoint)
        || !withinDeadline<bool>(2000, [folder] { return QFileInfo(folder).isDir(); }).value_or(false)) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running) {
            *why = QStringLiteral("%1 does not show through smbnetfs (see %2/smbnetfs.out)").arg(folder, m_home);
            unmount();
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

bool SmbNetFsMount::unmount()
{
    // SIGTERM: the client leaves its loop and unmounts.
    processgroup::stop(m_process, 5000);
    if (isMounted(m_mountPoint))
        detach(m_mountPoint);
    return !isMounted(m_mountPoint);
}
