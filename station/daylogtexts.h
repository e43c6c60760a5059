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
// `changes`: who the office's list withdrew, added and moved (describeOfficeChanges), or empty.
QString listReplaced(int lines, const QString& changes = QString());

QString sent(const QStringList& files);
QString sendFailed(const QStringList& reasons);
QString takenIn(const QDateTime& sentAt);
QString notAsSent(const QDateTime& sentAt);
QString stalled(int seconds, const QDateTime& sentAt);
// A send or failure told after the send hung: how long it took (appended to sent() and sendFailed()).
QString afterHanging(qint64 seconds);
QString sendHangs(double seconds, const QDateTime& sentAt);
QString cleanUpHangs();
QString closedWhileHanging(int seconds, bool sendUnderWay);
// The mutation files a clean-up removed, `occasion` ("bij Openen"); `untakenSend`: the time of a send of the
// class the office had not taken in, when there was one.
QString removed(const QString& occasion, const QStringList& names, const QDateTime& untakenSend);

// What a check found of the share and the file, when it changed.
QString shareUnreachable(bool greyed);
QString shareBack();
QString fileNotFound(bool greyed);
QString fileBack();
QString notToday(bool wasShown);
QString keptPastMidnight(const QDate& fileDay);
// The starter in the ring after the office's changed list took the ring's place, when it is another one.
QString ringMovedByOffice(const QString& now, const QString& before);

QString workReplacedByOffice(const QStringList& names);
QString journalSetAside(const QString& path);
QString workOfOtherClass(const QString& rid);
QString workOffered(const QDateTime& saved);
QString workRestored(const QDateTime& saved, const QStringList& names);
QString reapplied(int changesBack, const QStringList& missing);
QString offerLapsed();

QString opened();
QString logboekOpened();
QString moved(const QString& starter, const QString& from, const QString& to);
QString swapped(const QString& first, const QString& firstPlace, const QString& second, const QString& secondPlace);
QString notStarted(const QStringList& marked, const QStringList& unmarked);
QString undone(const QString& what);
QString redone(const QString& what);
QString inRing(const QString& starter);
QString inRingBack(const QString& starter);

} // namespace daylogtext
