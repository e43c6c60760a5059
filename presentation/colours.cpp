#include "colours.h"

namespace colours {

QColor toQColor(quint32 raw, const QPalette& palette)
{
    if (raw & 0x80000000u) {
        switch (raw & 0xFF) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        case 15:
            return palette.color(QPalette::Button);
        case 18:
            return palette.color(QPalette::ButtonText);
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(raw & 0xFF), int((raw >> 8) & 0xFF), int((raw >> 16) & 0xFF));
}

GridLook gridLook(bool sunlight, const QPalette& palette)
{
    GridLook look;
    look.sunlight = sunlight;
    QColor veil = toQColor(staleVeil, palette);
    veil.setAlpha(staleVeilAlpha);
    look.veil = veil;
    if (sunlight) {
        // Nothing from the palette: a dark desktop theme must not reach the mode.
        look.page = toQColor(sunlight::page, palette);
        look.header = toQColor(sunlight::header, palette);
        look.headerText = toQColor(sunlight::text, palette);
        look.headerLine = toQColor(sunlight::frame, palette);
        look.gridLine = toQColor(sunlight::gridLine, palette);
        look.selected = toQColor(sunlight::selected, palette);
        look.text = toQColor(sunlight::text, palette);
        look.frame = toQColor(sunlight::frame, palette);
        return look;
    }
    look.page = toQColor(gridBack, palette);
    look.header = toQColor(systemButtonFace, palette);
    look.headerText = Qt::black;
    look.headerLine = Qt::black;
    look.gridLine = toQColor(gridLine, palette);
    look.selected = toQColor(selectedRow, palette);
    look.text = Qt::black;
    look.frame = toQColor(darkText, palette);
    return look;
}

QColor cellBack(const GridLook& look, quint32 raw, bool selected, const QPalette& palette)
{
    if (look.sunlight)
        return selected || raw == selectedRow ? look.selected : look.page;
    if (selected)
        return look.selected;
    return toQColor(raw == 0 ? gridBack : raw, palette);
}

QColor cellText(const GridLook& look, quint32 raw, const QPalette& palette)
{
    if (look.sunlight || raw == 0)
        return look.text;
    return toQColor(raw, palette);
}

} // namespace colours
