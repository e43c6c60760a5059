#include "leftovers.h"

#include "smbnetfsmount.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <csignal>

namespace leftovers {

namespace {

bool alive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Whether the process `pid` is one this run folder started: its command line names the folder.
bool startedFor(qint64 pid, const QString& runFolder)
{
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(QFile::encodeName(runFolder));
}

void clear(const QString& runFolder)
{
    QFile pids(runFolder + QStringLiteral("/pids"));
    if (pids.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : pids.readAll().split('\n')) {
            const qint64 pid = line.trimmed().toLongLong();
            if (alive(pid) && startedFor(pid, runFolder)) {
                ::kill(-pid_t(pid), SIGKILL);
                ::kill(pid_t(pid), SIGKILL);
            }
        }
    }
    const QString mountPoint = runFolder + QStringLiteral("/mnt");
    if (SmbNetFsMount::isMounted(mountPoint))
        SmbNetFsMount::detach(mountPoint);
    // Never a recursive removal through a mount: it would delete the share's files.
    if (!SmbNetFsMount::isMounted(mountPoint))
        QDir(runFolder).removeRecursively();
}

} // namespace

QString folderPrefix()
{
    return QDir::tempPath() + QStringLiteral("/baldovenaar-smb-");
}

bool recordProcess(const QString& runFolder, qint64 pid)
{
    QFile pids(runFolder + QStringLiteral("/pids"));
    return pids.open(QIODevice::Append) && pids.write(QByteArray::number(pid) + '\n') > 0;
}

int sweep()
{
    const QString prefix = folderPrefix();
    const QDir temporary(QFileInfo(prefix).absolutePath());
    int cleared = 0;
    for (const QString& name : temporary.entryList(
             { QFileInfo(prefix).fileName() + u'*' }, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString runFolder = temporary.filePath(name);
        QFile owner(runFolder + QStringLiteral("/owner"));
        const qint64 ownerPid = owner.open(QIODevice::ReadOnly) ? owner.readAll().trimmed().toLongLong() : 0;
        if (alive(ownerPid))
            continue; // a run going on now, in another worktree perhaps
        clear(runFolder);
        ++cleared;
    }
    return cleared;
}

bool startGuard(const QString& runFolder)
{
    // The same steps as clear(), in the shell, so the guard needs nothing of this program.
    const QString script = QStringLiteral(
        "owner=\"$1\"; run=\"$2\"\n"
        "while kill -0 \"$owner\" 2>/dev/null; do sleep 0.5; done\n"
        "for pid in $(cat \"$run/pids\" 2>/dev/null); do\n"
        "  if grep -qsF \"$run\" \"/proc/$pid/cmdline\"; then kill -KILL -- \"-$pid\" \"$pid\" 2>/dev/null; fi\n"
        "done\n"
        "if grep -qsF \" $run/mnt \" /proc/mounts; then umount -l \"$run/mnt\"; fi\n"
        "if ! grep -qsF \" $run/\" /proc/mounts; then rm -rf --one-file-system \"$run\"; fi\n");
    QFile owner(runFolder + QStringLiteral("/owner"));
    if (!owner.open(QIODevice::WriteOnly)
        || owner.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n') <= 0)
        return false;
    owner.close();
    // Started detached: its parent is not this process, so a kill of the test's process tree spares it. It
    // holds none of the test's output open, or CTest would wait for it.
    QProcess guard;
    guard.setProgram(QStringLiteral("sh"));
    guard.setArguments({ QStringLiteral("-c"), script, QStringLiteral("guard"),
        QString::number(QCoreApplication::applicationPid()), runFolder });
    guard.setStandardInputFile(QProcess::nullDevice());
    guard.setStandardOutputFile(QProcess::nullDevice());
    guard.setStandardErrorFile(QProcess::nullDevice());
    return guard.startDetached();
}

} // namespace leftovers
