#pragma once

#include "publishedorder.h"

#include <QDate>
#include <QString>

namespace kantoor {

// A date as the office writes it in a running-order file: day name, day, month name and year in Dutch,
// "maandag 7 december 2026".
QString dutchDate(const QDate& date);

// The column titles the office uses for a jumping class.
QStringList jumpingHeader();

// The bundled sample class for the given day: a jumping class of 40 starters in three groups, with a
// pause line between the groups, both edit permissions granted, positions numbered. Its riders, horses
// and clubs are made up.
PublishedOrder demoOrder(const QDate& day);

} // namespace kantoor
