#pragma once

#include <QProcess>
#include <QString>

// Samba's smbd with a configuration of its own, all of its state below one folder: a guest share "korvalen"
// of the folder `shareFolder()`, written as root, on 127.0.0.1 port 445 only (the port the SMB client
// library always tries first). It can be frozen, as when the network drops the office PC's packets (the
// clients' calls wait for an answer), stopped, as when the office PC goes away (they fail at once), and
// started again.
class SambaServer
{
public:
    explicit SambaServer(QString folder);
    ~SambaServer();
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;

    static QString shareName() { return QStringLiteral("korvalen"); }
    QString shareFolder() const { return m_folder + QStringLiteral("/korvalen"); }

    // Starts smbd and waits until it takes connections (10 s at most); `why` says what went wrong.
    bool start(QString* why);
    void stop();
    void freeze();
    void thaw();
    bool running() const { return m_process.state() == QProcess::Running; }
    qint64 processId() const { return m_process.processId(); }

private:
    bool writeConfiguration(QString* why) const;

    QString m_folder;
    QProcess m_process;
};
