#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads one day's log while the station goes on writing it, for the log window: the first read gives the
// lines there are, every later one only the lines added since. A line still being written (no line end yet)
// waits for its end. A file that became shorter than what was read (it was replaced) is read again from its
// start, and the reader says so. A file far larger than a day of ring work gives its last part only, so the
// window never stalls on it.
class DayLogReader
{
public:
    // The most that is read at once; of a larger file the first read takes the end.
    static constexpr qint64 maxBytes = 4 * 1024 * 1024;

    explicit DayLogReader(QString path);

    struct Update
    {
        QStringList lines;
        // What was shown before is no longer the file's: show these lines instead of it.
        bool restarted = false;
        // The file's beginning was left out (its size is beyond maxBytes).
        bool truncated = false;
    };
    // The lines since the last read. A missing file gives no lines (and no error: the day has none yet).
    Update readNew();

    QString path() const { return m_path; }

private:
    QString m_path;
    qint64 m_offset = 0;
    QByteArray m_partial;
};
