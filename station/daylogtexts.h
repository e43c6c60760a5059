#pragma once

#include "mutatiebestand.h"
#include "runorderloader.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The day log's sentences, one function each, beside the status line's texts: what the station writes when
// the office's list is read, a send goes out or comes back, the ring's work is kept, restored or offered, and
// the official edits the list or moves the ring pointer. Plain Dutch, with the starters as the official knows
// them ("105 Anna de Vries (Quibus)"), so a disputed start order can be answered from the log alone.
namespace daylogtext {

// "105 Anna de Vries (Quibus)": the starter on a row of the ring's list, by back number, rider and horse; the
// line's key when it has none; nothing for a row the list does not have.
QString starter(const GridTable& working, int row);
// What a counted read did to the ring's list (`working`, as it now is).
// `officeChanges`: for a replace, who the office's list withdrew, added and moved (describeOfficeChanges).
QString read(RunOrderLoader::ListChange change, const GridTable& working,
    const std::vector<runordermerge::ChangedCell>& mergedCells, const QString& officeChanges = QString());

QString sent(const QStringList& files);
// Each file that could not be written, with the system's reason in Dutch.
QString sendFailed(const SendResult& result);
QString takenIn(const QDateTime& sentAt);
QString takenInButChanged(const QDateTime& sentAt);
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
// Why the work the office's list replaced is no longer offered; `names` the starters it held.
enum class OfferEnd { Sent, OtherClass, Discarded };
QString offerLapsed(OfferEnd end, const QStringList& names = {});

QString opened();
// "verplaatst: 105 Anna de Vries van plaats 18 naar 4": a held run of a move button, or a drag, as one line.
QString moved(const QString& starter, const QString& from, const QString& to);
QString swapped(const QString& first, const QString& firstPlace, const QString& second, const QString& secondPlace);
QString notStarted(const QStringList& marked, const QStringList& unmarked);
QString undone(const QString& what);
QString redone(const QString& what);
QString inRing(const QString& starter);
QString inRingBack(const QString& starter);
QString paceRestored(int rounds, const QString& inRing);

} // namespace daylogtext
