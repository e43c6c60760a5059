#pragma once

#include "colourtable.h"

#include <QColor>
#include <QPalette>

namespace colours {

// The QColor of a raw value; system colours come from the palette.
QColor toQColor(quint32 raw, const QPalette& palette);

} // namespace colours
