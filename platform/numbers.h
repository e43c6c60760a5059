#pragma once

#include <QStringView>
#include <optional>

namespace platform {

// The number a text begins with, as the office suite reads numbers everywhere: leading spaces and tabs
// are skipped, then an optional sign, digits and at most one decimal point. Everything from the first
// other character on is ignored, so "0.05abc" gives 0.05 and "1,5" gives 1 (a comma is no decimal
// point). A text without a number gives 0. Never fails.
double leadingNumber(QStringView text);

// Rounds to a 16-bit signed integer, halves to even (2.5 gives 2, 3.5 gives 4). A value outside
// -32768..32767 (or not a number) has no 16-bit form: the conversion fails and the caller keeps
// what it had.
std::optional<qint16> roundToInt16(double value);

} // namespace platform
