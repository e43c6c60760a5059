#pragma once

#include "appstate.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// What one read of a running-order file yields. A key the file does not hold stays empty here, so the
// station keeps its previous value of it. The labels are what the file's lines leave on them: "titel"
// sets the title also when empty; "datum" and "begintijd" set their label only when not empty.
struct RunOrderContent
{
    std::optional<QString> owner;
    std::optional<QString> wnr;
    std::optional<QString> rid;
    std::optional<QString> titel;
    std::optional<QString> datum; // the last non-empty "datum" value
    std::optional<QString> begintijd; // the last non-empty "begintijd" value
    // The last value that converted to a 16-bit number; a value out of range keeps the one before.
    std::optional<qint16> editvolgorde;
    std::optional<qint16> editnietgestart;
    // The "rij" values in file order, the first one the header row. At most the header and 32 767
    // lines are kept; the rest of a longer file is ignored.
    std::vector<QString> rijen;
};

// The most "rij" lines a grid can take: the header and 32 767 lines.
inline constexpr int maxRijen = 32768;

// Interprets the lines of a running-order file. Every meaningful line is key, colon, value; the key is
// compared in lower case; key and value are trimmed of spaces only (tabs belong to the value, so a "rij"
// line whose first field is empty keeps its columns in place). Other lines are ignored.
RunOrderContent parseRunOrder(const QStringList& lines);

// The same over the file's bytes (Windows-1252, any line ends).
RunOrderContent parseRunOrderBytes(QByteArrayView bytes);

// Removes leading and trailing spaces only (not tabs, not other white space), as the suite trims.
QStringView trimSpaces(QStringView text);

// The folder (with its trailing separator: "/" or "\", and on Windows ":" after a drive letter) and the
// base name without extension of a path. A path without separator has an empty folder; a name without
// "." is taken whole.
struct SplitPath
{
    QString map;
    QString naam;
};
SplitPath splitspad(const QString& pad);

// The look-up pattern of a followed file: the first 20 characters of its base name and "*.dvz".
QString zoekpatroonVoor(const QString& bestandsnaam);

// True when the path ends in ".dvz", in any case.
bool hasRunOrderExtension(const QString& path);
