#pragma once

#include "publishedorder.h"

#include <QByteArray>
#include <QString>

// Running-order files for tests, written by the office stand-in's own writer, so every test reads files
// of the one format the office publishes.
namespace testsupport {

// A class as the office publishes it: one line per key of `keys` (separated by spaces; "P" is a pause
// line "Pauze"), top to bottom, the starters numbered; each starter has the number 100 + its place, the
// rider "Ruiter <key>", the horse "Paard <key>" and the club "Ver"; owner "Ruitersport Oost", wnr 12, rid
// 7, title "Springen klasse M", date and start time, and the two permissions.
kantoor::PublishedOrder classOrder(const QString& keys, int editvolgorde = 1, int editnietgestart = 1);

// The same class as a file's bytes.
QByteArray classBytes(const QString& keys, int editvolgorde = 1, int editnietgestart = 1);

// Sets one cell of the line with the given key (all of them, for "P"); false when there is none.
bool setCell(kantoor::PublishedOrder& order, const QString& key, int column, const QString& text);

// The keys of a grid's data rows, separated by spaces, as classOrder takes them.
QString keysOf(const class GridTable& grid);
// The ring's not-started marks of a grid's data rows, "N" or "-" for none, separated by spaces.
QString marksOf(const GridTable& grid);

} // namespace testsupport
