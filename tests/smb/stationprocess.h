#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <optional>

// The station as the ring laptop runs it: the real program, on Qt's offscreen platform, with a settings folder
// (and home) of its own whose settings file has it follow one class. Its logging categories are on, each line
// stamped with the time; the line "shown: sha1 ..." says which bytes of the office's file are on screen.
// Used from one thread (the one that made it): it waits for its output without an event loop.
class StationProcess
{
public:
    StationProcess(QString folder, QString followed);
    ~StationProcess();
    StationProcess(const StationProcess&) = delete;
    StationProcess& operator=(const StationProcess&) = delete;

    bool start(QString* why);
    QDateTime started() const { return m_started; }
    // When the station said the file whose bytes have this SHA-1 (hex) is on screen; waits `milliseconds` at
    // most for it.
    std::optional<QDateTime> waitForShown(const QByteArray& sha1, int milliseconds);
    // Closes it as a shutdown does (SIGTERM); true when it ended by itself with status 0 within 10 s.
    bool stop();
    // The end of what it logged, for a failure message.
    QString logTail() const;

private:
    void takeOutput();

    QString m_folder;
    QString m_followed;
    QProcess m_process;
    QDateTime m_started;
    QByteArray m_log;
    qsizetype m_parsed = 0;
    QList<std::pair<QByteArray, QDateTime>> m_shown; // SHA-1 and time, in the order logged
};
