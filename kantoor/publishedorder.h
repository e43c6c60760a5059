#pragma once

#include "columns.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

namespace kantoor {

// One class as the office publishes it for the ring: the header values and the table, row 0 the column
// titles and every further row one line of the running order (a starter, or a pause line with key "P").
// It knows how to turn itself into the running-order file the station reads; it does not know where
// that file goes.
struct PublishedOrder
{
    // The station counts lines in 16-bit rows, the header row included.
    static constexpr int MaxLines = 32767;

    QString owner;
    QString wnr;
    QString rid;
    QString order;
    QString titel;
    QString datum;
    QString begintijd;
    QString editvolgorde;
    QString editnietgestart;
    QStringList header;
    std::vector<QStringList> lines;
};

// A cell text made safe for a "rij" line: a tab would split the field and a CR or LF the line in the
// station's reader, so they become spaces. Every other character stays as it is, so a key read from a
// file (or from a mutation file) is written back byte for byte.
QString cleanField(const QString& text);

// The class as a running-order file holds it, read with the station's own reader, so the stand-in sees
// what the station sees: the first "rij" line is the header (empty when the file has none), every
// further one a line of 11 cells. Header values the file lacks stay empty; the edit permissions are the
// numbers the station takes from them; the "order" value, which the station does not use, is kept as text.
PublishedOrder publishedOrderFromBytes(QByteArrayView bytes);

// Gives every starter its running position in column 1 ("1", "2", ...), top to bottom; pause lines get
// none. The office renumbers on every publication: the position belongs to the place, not the starter.
void numberPositions(PublishedOrder& order);

// The lines of the running-order file, without line ends: the header values, each as "key:value", then
// one "rij:" line per table row, always 11 tab-separated fields.
QStringList runningOrderLines(const PublishedOrder& order);

// The file's bytes: Windows-1252, every line ended by CR LF.
QByteArray runningOrderBytes(const PublishedOrder& order);

// The distinct characters of the order's texts that Windows-1252 cannot hold (they are written as '?').
QString unencodableCharacters(const PublishedOrder& order);

} // namespace kantoor
