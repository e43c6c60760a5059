#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace kantoor {

// Where a class's running-order file goes and how it is written: whole, through a temporary file in
// the same folder that is renamed over the target, so a reader never sees half a file. The new file
// is last modified now and, being a new file, carries the archive attribute: the two signs the station
// waits for.
struct Publication
{
    bool ok = false;
    QString path; // the file written (or that would have been)
    QString error; // what went wrong, when not ok
    bool refused = false; // nothing was tried: the folder, the class or its file cannot be used
};

// Why a folder cannot be written into or read from ("" when it can): missing, or not a folder.
// A class's file that is a link is refused by every command below: writing it would write wherever the
// link points, outside the folder.
QString folderProblem(const QString& folder);

// Why a class identifier cannot be part of a file name in any folder the office shares (Windows' rules
// included), or an empty string when it can.
QString classIdProblem(const QString& classId);

// Why a rid cannot be used: the station builds mutation file names from it, so it must not hold path
// separators or characters a file name cannot; an empty rid is allowed.
QString ridProblem(const QString& rid);

// "baldovenaar rst-<classId>.dvz".
QString runningOrderFileName(const QString& classId);

// The other running-order files in the folder that the station cannot tell apart from this class's: it
// finds its file again by the first 20 characters of the base name, so "0001" and "00012" collide.
QStringList namesSharingPrefix(const QString& folder, const QString& classId);

// Writes the bytes as the class's running-order file in the folder (which must exist).
Publication publishRunningOrder(const QString& folder, const QString& classId, const QByteArray& bytes);

// Writes the bytes as the file at `path` through a temporary file in its folder and a rename, as above.
Publication replaceFile(const QString& path, const QByteArray& bytes);

// Writes the bytes into the existing file at `path` in place: opened, emptied and written anew, as an
// office program may save (the station must cope with that too). With a piece size the bytes go in
// pieces of that many bytes, each flushed to the file, and `betweenPieces` runs after every piece but
// the last: a program that prints its file line by line.
Publication rewriteInPlace(const QString& path, const QByteArray& bytes, qsizetype pieceSize = 0,
    const std::function<void()>& betweenPieces = {});

// The bytes of the class's running-order file now in the folder, for a rewrite; error set when there is
// none or it cannot be read.
Publication readRunningOrder(const QString& folder, const QString& classId, QByteArray& bytes);

} // namespace kantoor
