#pragma once

#include "colourtable.h"

#include <QColor>
#include <QPalette>

namespace colours {

// The QColor of a raw value; system colours come from the palette.
QColor toQColor(quint32 raw, const QPalette& palette);

// What the grid paints with beside each cell's own colours: the office's design, or the sunlight mode (its
// own fixed colours for everything, bold text, and a dark frame around the selection). Marks of the office's
// changes and of unsent rows are shapes (frames, a bar) in `frame`, so they read in black and white too.
struct GridLook
{
    bool sunlight = false;
    QColor page; // beyond the last cell
    QColor header; // the fixed header row
    QColor headerText;
    QColor headerLine;
    QColor gridLine;
    QColor selected; // the grid's own range; in sunlight also the selected rows
    QColor text; // in sunlight every text; in the office's design the default where a cell has none
    QColor frame;
    QColor veil; // over a list that is not up to date (with its alpha)
};
GridLook gridLook(bool sunlight, const QPalette& palette);

// What a data cell stands on: in sunlight white or, selected, the mode's green, whatever colour the selection
// painted into the cell; otherwise the cell's own back colour (0: none set, the grid's white).
QColor cellBack(const GridLook& look, quint32 raw, bool selected, const QPalette& palette);
QColor cellText(const GridLook& look, quint32 raw, const QPalette& palette);

} // namespace colours
