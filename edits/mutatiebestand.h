#pragma once

#include "appstate.h"

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

class GridTable;

namespace platform {
class Clock;
}

// The mutation files: how the ring's order and not-started marks reach the office. A send writes two
// identical copies into the folder of the followed running-order file, one per office program (the kinds
// "s" and "h"), each a full snapshot in six lines, hidden and archive. Each copy is written under a
// temporary name and moved into place, so the office never reads half a snapshot. A send then leaves one
// file of today per class and kind (the one it wrote) and removes mutation files of earlier days, of
// any class. Nothing shows anything here: a send returns what failed, and the window tells the official.
//
// Mutation file names are "yyyyMMdd-HHmmss-<rid>-baldovenaar-<kind>.mut". The rid comes from the
// running-order file and may hold anything; its name part is made safe (safeRid), and names are
// recognised by parsing them (parseMutationFileName), never by a wildcard alone, so that no name leaves
// the folder and no class's routine touches another class's files of today.

// One send as the office receives it.
struct MutationRecord
{
    QString wnr;
    QString rid;
    QStringList order; // the line keys of all lines, top to bottom, pause lines included
    QStringList notStarted; // the keys of the lines marked "N"
    QStringList started; // the keys of the other lines
    QString text; // free text; the station never fills it in
};

// The lists of one send from the data rows (1 to Rows - 1) of the working grid: column 0 the key, column
// 10 the mark, where exactly "N" means not started.
MutationRecord mutationRecord(const GridTable& grid, const QString& wnr, const QString& rid);

// The six lines of a mutation file as bytes: Windows-1252, CR LF after every line, the last included;
// lists separated by single tabs; CR LF in the free text (and a lone CR or LF) becomes the byte 8, so
// it stays on its line. Keys come from lines split at tabs and line ends, so they hold none of them;
// every other character of a key comes out as the byte it was read from.
QByteArray mutationBytes(const MutationRecord& record);

// The same bytes as mutationBytes(mutationRecord(grid, wnr, rid)), the free text empty, straight from
// the grid: a send of 32 767 lines makes no string per key.
QByteArray mutationBytes(const GridTable& grid, const QString& wnr, const QString& rid);

// The kinds of copy, one per office program, in the order a send writes them.
inline constexpr QChar mutationKinds[] = { u's', u'h' };

// The longest rid part of a file name. Longer rids keep their first characters and end in "~" and eight
// hex digits of a hash of the whole rid, so two long rids that share a beginning still differ.
inline constexpr int maxRidInName = 64;

// The rid as it stands in file names: every character that is a path separator, a wildcard, not allowed
// in a Windows file name (< > : " / \ | ? *) or a control character becomes "_", on every platform
// alike (the folder is often a Windows share). A dot or space needs nothing: the rid never ends a name
// and never stands alone in one, so ".." or a trailing dot cannot name another folder and Windows does
// not strip them; a name that starts with the date is never a device name. Capped at maxRidInName
// characters, so a name always fits the file systems' 255-character limit (also with ".tmp" and in
// UTF-8). The rid in the file's second line stays exactly as it is.
QString safeRid(const QString& rid);

// "yyyyMMdd-HHmmss-<safe rid>-baldovenaar-<kind>.mut".
QString mutationFileName(const QString& date, const QString& time, const QString& rid, QChar kind);

// A name of the exact shape of a mutation file: 8 digits, "-", 6 digits, "-", the rid part (possibly
// empty, possibly with hyphens), "-baldovenaar-", "s" or "h", ".mut"; with "temporary" a copy not yet
// moved into place, the same name followed by ".tmp". The fixed parts match regardless of case, as on
// Windows; the rid part is returned as it stands.
struct MutationFileName
{
    QString date;
    QString time;
    QString rid;
    QChar kind; // 's' or 'h'
    bool temporary = false;
};
std::optional<MutationFileName> parseMutationFileName(QStringView name);

struct MutationFailure
{
    QString path; // the copy that could not be written
    QString reason; // in the system's words
};

struct SendResult
{
    bool written = false; // both copies are in place
    bool skipped = false; // nothing to send: no file followed, or the class is not known yet
    std::vector<MutationFailure> failures; // the copies that are not in place, and why
    QStringList files; // the names of the copies that are in place
    bool underWay = false; // handed to the shared folder's queue, not written yet (told when it is)
};

// One send as taken from the ring's list at the moment of the press, on the window's thread: everything
// writing it needs, so that it can be written elsewhere while the ring goes on editing.
struct SendJob
{
    QDateTime at; // the one reading of the clock the names carry
    QString folder; // the followed file's folder; "" is the current folder
    QString rid;
    QByteArray bytes; // the six lines
    const char* skipReason = nullptr; // why nothing is to be sent (no file followed, the class not known yet)
};

// The send as the press takes it: the grid's order and marks, the class, the clock's one reading. Nothing is
// to be sent when no file is followed or the class of the followed file is not known yet (so a send never
// carries another class's rid); a class whose file holds an empty rid still sends.
SendJob prepareSend(const AppState& state, const GridTable& grid1, const QDateTime& now);

// Writes a prepared send: both copies into the folder, then removes this class's other files of today of
// each kind written and every mutation file of an earlier day. A copy that could not be written leaves this
// class's earlier file of that kind in place (the office keeps the last snapshot that arrived). Touches
// nothing but the folder, so it may run in any thread.
SendResult writeSend(const SendJob& job);

// The send button in one go, on the caller's thread: prepareSend, writeSend, then a pause of 500 ms. Leaves
// the grid as it is.
SendResult verzendmutatie(const AppState& state, const GridTable& grid1, platform::Clock& clock);

// What the clean-up of a class needs, taken from the state so it may run in any thread.
struct CleanUpJob
{
    QString bestandspad;
    QString folder;
    QString rid;
};

// Removes every mutation file of the class shown (both kinds, any date, and copies left under their
// temporary names), nothing of other classes: a file whose name carries the class's safe rid is another
// class's only when its second line names another rid, byte for byte (two rids may be made safe to one
// name); every other file under that name is the class's, also a malformed one. Does nothing when no file
// is followed or the rid is empty. Returns the names it removed.
QStringList wismutaties(const AppState& state);
QStringList wismutaties(const CleanUpJob& job);

// The text for the message box when a send failed (Dutch, naming the folder, the files and the reasons);
// empty when nothing failed.
QString verzendFoutmelding(const SendResult& result);
