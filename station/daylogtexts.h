#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The day log's sentences, one function each, beside the status line's texts: what the station writes when
// the office's list is read, a send goes out or comes back, the ring's work is kept, restored or offered, and
// the official edits the list or moves the ring pointer. Plain Dutch, with the starters as the official knows
// them ("105 Anna de Vries (Quibus)"), so a disputed start order can be answered from the log alone.
namespace daylogtext {

// "105 Anna de Vries (Quibus)": a starter by back number, rider and horse; the line's key when it has none.
QString starter(const QString& number, const QString& rider, const QString& horse, const QString& key);

QString listRead(int lines);
QString listMerged(const QStringList& changedStarters);
QString listReplaced(int lines);

QString sent(const QStringList& files);
QString sendFailed(const QStringList& reasons);
QString takenIn(const QDateTime& sentAt);
QString notAsSent(const QDateTime& sentAt);
QString stalled(int seconds, const QDateTime& sentAt);

QString workReplacedByOffice(const QStringList& names);
QString journalSetAside(const QString& path);
QString workOfOtherClass(const QString& rid);
QString workOffered(const QDateTime& saved);
QString workRestored(const QDateTime& saved, const QStringList& names);
QString reapplied(int changesBack, const QStringList& missing);
QString offerLapsed();

QString opened();
QString moved(const QString& starter, const QString& from, const QString& to);
QString swapped(const QString& first, const QString& firstPlace, const QString& second, const QString& secondPlace);
QString notStarted(const QStringList& marked, const QStringList& unmarked);
QString undone(const QString& what);
QString redone(const QString& what);
QString inRing(const QString& starter);
QString inRingBack(const QString& starter);

} // namespace daylogtext
