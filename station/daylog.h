#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace platform {
class Clock;
}

// The day log for the gate: one plain UTF-8 line per thing the station did or saw (a move, a swap, a mark,
// an undo, a send and the files it wrote, a failed send, the office's list read, a receipt, a stall), with
// the time, the class and which starters, so that a disputed start order can be answered from it. One file a
// day in the station's data folder, "logboek-yyyyMMdd.txt"; each line is appended and closed at once, so a
// crash loses nothing written; days older than 30 go when the log is opened.
class DayLog
{
public:
    // The folder the files live in (created when missing); the clock gives the day and the time.
    DayLog(QString folder, const platform::Clock& clock);

    void append(const QString& klasse, const QString& what);

    // Today's file (it may not exist yet), and today by the station's clock.
    QString todaysFile() const;
    QDate today() const;
    QString folder() const { return m_folder; }
    // The file of a day (it may not exist).
    QString fileFor(const QDate& day) const;
    // The days that have a file in the folder, newest first.
    QList<QDate> days() const;

    static constexpr int keptDays = 30;

private:
    void purge();

    QString m_folder;
    const platform::Clock& m_clock;
};
