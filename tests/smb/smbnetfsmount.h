#pragma once

#include <QProcess>
#include <QString>

// The office's share as a ring laptop with smbnetfs sees it: the SMB client library (the one the desktop's
// file managers use) as a FUSE file system at `mountPoint()`, the share at `shareFolder()`. Its configuration
// lives in a home folder of its own, so the user's is neither read nor changed: the guest account and the
// host 127.0.0.1.
class SmbNetFsMount
{
public:
    SmbNetFsMount(QString mountPoint, QString home, QString share);
    ~SmbNetFsMount();
    SmbNetFsMount(const SmbNetFsMount&) = delete;
    SmbNetFsMount& operator=(const SmbNetFsMount&) = delete;

    QString mountPoint() const { return m_mountPoint; }
    QString shareFolder() const { return m_mountPoint + QStringLiteral("/127.0.0.1/") + m_share; }

    // Mounts and waits until `probe` (a folder below the share) can be listed (15 s at most).
    bool mount(const QString& probe, QString* why);
    // Stops the client, which unmounts; detaches the mount when that did not happen. True when nothing is
    // mounted there any more.
    bool unmount();

    // Whether `path` is a mount point now (from /proc/self/mounts).
    static bool isMounted(const QString& path);
    // Detaches whatever is mounted at `path` (lazily: calls still waiting on it fail).
    static void detach(const QString& path);

private:
    bool writeConfiguration(QString* why) const;

    QString m_mountPoint;
    QString m_home;
    QString m_share;
    QProcess m_process;
};
