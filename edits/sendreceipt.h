#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

class GridTable;

// What a send reported, kept to recognise it in the office's next lists: the proof the official gets that
// the office took a change in. The station sends no receipt request and the office sends no receipt; the
// office's own published list is the receipt.
struct SentList
{
    QStringList order; // the starters, in the order sent (pause lines left out)
    QSet<QString> notStarted; // the starters sent as not started
    QDateTime at;
};

// The ring's list as a send reports it.
SentList sentListOf(const GridTable& working, const QDateTime& at);

// Whether the office's list holds the send: every sent starter it still has stands in the sent order and
// carries the sent mark (an "N" in its status for a starter sent as not started, none for the others).
// Starters the office added or removed meanwhile do not count either way.
bool takenIn(const SentList& sent, const GridTable& office);
