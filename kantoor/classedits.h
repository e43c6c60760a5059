#pragma once

#include "publishedorder.h"

struct MutationRecord;

#include <QString>
#include <QStringList>

namespace kantoor {

// The office's changes to a class between two publications, each on a PublishedOrder: remove or insert
// a line, change a display field, reorder the starters, and take in a mutation of the ring. Each returns
// an empty text when done, or why it cannot be done, and then leaves the class as it was. None of them
// numbers the positions: the caller does that once, before it publishes.
//
// Pause lines (key "P") are the office's group breaks: a reorder and a mutation leave them where they
// are and put the starters into the other places, top to bottom.

// The index of the one line with this key, or -1 with the problem in `problem`.
qsizetype lineWithKey(const PublishedOrder& order, const QString& key, QString& problem);

QString removeLine(PublishedOrder& order, const QString& key);

// Inserts the cells as a new line after the line with key `afterKey`; the new key must be one of its own
// (or "P").
QString insertLine(PublishedOrder& order, const QString& afterKey, const QStringList& cells);

// "KEY:COLUMN=TEXT": column COLUMN (2 to 10, or a column title of the header row, in any case) of the
// line with key KEY gets TEXT. KEY is everything before the last ":" ahead of the first "=", so a key may
// hold ":" and TEXT may hold both. Column 0 (the key) and column 1 (the position the office numbers) are
// refused.
QString setField(PublishedOrder& order, const QString& assignment);

// Puts the starters in the order of `keys`, which must name every starter of the class once and nothing
// else ("P" included: pause lines keep their places).
QString reorderStarters(PublishedOrder& order, const QStringList& keys);

// Takes in the ring's mutation: the starters in its order (pause lines stay), "N" in columns 9 and 10 for
// the starters it has as not started, and for the others no "N" in column 10 and no office status that
// holds one in column 9. Refused: a mutation for another rid, and one whose order, or whose not-started
// and started lists together, do not name each starter of the class exactly once; a class whose own
// keys repeat (the office could not tell which line is meant). Pause keys in the lists are not looked at.
QString applyMutation(PublishedOrder& order, const MutationRecord& mutation);

} // namespace kantoor
