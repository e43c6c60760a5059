#pragma once

#include "boardcontent.h"

#include <QByteArray>
#include <QString>

class GridTable;

// The order as the live page reads it (/api/stand): the rider board's content (the title, whether the list is
// up to date and since when not, "In de ring", "Klaar staan", "Daarna") and the whole order as it stands in the
// ring, one entry per line: its place among the starters, back number, rider, horse, time, and whether it is a
// starter that rides, one marked not started or a pause band, the starter in the ring and the ones that have
// ridden. With them "x van y gereden": the starters before the one in the ring that ride, of all that ride.
// Where the board's content carries the ring's pace, its expected times and the class's progress in words go
// along.
//
// Only what the rider board shows goes out: no key, rid, owner, club, status text or path. The text is JSON
// written here, straight into one buffer: a list of 32,767 lines is written in a few milliseconds, once per
// change, never per request.
struct LiveStandHeader
{
    QString datum;
    QString begintijd;
};

// The JSON of the order, for the version given; `ringRow` is the row of the starter in the ring (-1: none).
QByteArray liveStandJson(
    const BoardContent& board, const GridTable& grid, int ringRow, const LiveStandHeader& header, quint64 version);

// A string as a JSON string literal, quotes included. Characters a page could take for markup (<, >, &) are
// escaped too, so the text stays text wherever it is pasted.
void appendJsonString(QByteArray& out, QStringView text);
