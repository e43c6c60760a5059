#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace platform {

// Single-byte Windows-1252 text, the code page of the office's files. Every byte 0x00..0xFF maps to one
// character and back, including the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D), which pass through as U+0081 and so on. So whatever bytes a running-order file holds come out
// unchanged in the station's own files.
QString decodeCp1252(QByteArrayView bytes);

// The inverse of decodeCp1252. A character that has no Windows-1252 byte becomes '?'.
QByteArray encodeCp1252(QStringView text);

// Splits decoded text into lines. CR LF, a lone LF and a lone CR each end a line; a last line without
// an end counts; a line end at the very end does not add an empty line.
QStringList splitLines(QStringView text);

// Joins lines with CR LF after every line, the last one included.
QString joinLinesCrLf(const QStringList& lines);

} // namespace platform
