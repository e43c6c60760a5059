#pragma once

#include "publishedorder.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextStream>
#include <optional>

namespace kantoor {

// The office's side of the ring's changes: looks at a shared folder, and for each class in it
// ("baldovenaar rst-*.dvz") takes in the newest mutation file of its kind ("s" for the main program, "h"
// for the satellite) and publishes the class anew, as the office programs do.
//
// A mutation file belongs to the class whose rid stands in its name (as the station writes it); the
// newest is the one with the latest date and time in its name. Taking it in means: the class's starters
// in the ring's order, its not-started marks, the positions numbered afresh, after a new order the planned
// times worked out again from the class's start time and interval (plannedtimes.h), the class written whole
// through a rename, and then the mutation files of that class and kind that were looked at removed.
// A mutation that does not fit the class is reported once on `err` with the file's name and the reason;
// the class and the mutation files are left as they are, so that they can be looked at. Each mutation
// taken in gives one line on `out`.
//
// Only names found in the folder are written or removed, never a path built from a file's content, and
// no link is followed: nothing outside the folder is touched.
class OfficeServer : public QObject
{
    Q_OBJECT

public:
    OfficeServer(QString folder, QChar kind, QTextStream& out, QTextStream& err, QObject* parent = nullptr);

    // The interval between two starters, in seconds, for the planned times of a new order; when not given, the
    // one each class's published times show (see plannedtimes.h).
    void setStartInterval(std::optional<int> seconds) { m_startInterval = seconds; }

    // One look at the folder; returns the number of mutations taken in.
    int takeIn();

    // Runs takeIn() every `interval` milliseconds until the process is asked to stop (SIGINT, SIGTERM),
    // then returns 0. Needs a running QCoreApplication.
    int serve(int interval);

private:
    struct Candidate;
    void takeInClass(const QString& className, PublishedOrder order, const QList<Candidate>& mutations, int& taken);
    // Writes the message on `err` unless it is the last one written about the same class (or rid).
    void report(const QString& about, const QString& message);

    QString m_folder;
    QChar m_kind;
    QTextStream& m_out;
    QTextStream& m_err;
    // The last report per class, so that a mutation left in the folder is not reported again every round.
    QHash<QString, QString> m_lastReport;
    std::optional<int> m_startInterval;
};

} // namespace kantoor
