#pragma once

#include <QColor>
#include <QPalette>

// Colours are kept as the raw 32-bit values the station has always used: &H00BBGGRR& for a colour,
// &H800000nn& for system colour nn. They become a QColor only when painted.
namespace colours {

inline constexpr quint32 buttonFaceBack = 0x00EFF7F7; // the button bar's back colour
inline constexpr quint32 selectedRow = 0x00C0FFC0; // light green of selected rows and the grid's range
inline constexpr quint32 systemWindow = 0x80000005;
inline constexpr quint32 systemWindowText = 0x80000008;
inline constexpr quint32 systemButtonFace = 0x8000000F;
inline constexpr quint32 systemButtonText = 0x80000012;

// The QColor of a raw value; system colours come from the palette.
QColor toQColor(quint32 raw, const QPalette& palette);

// The raw value of an RGB colour.
constexpr quint32 rgb(int red, int green, int blue)
{
    return quint32(red & 0xFF) | (quint32(green & 0xFF) << 8) | (quint32(blue & 0xFF) << 16);
}

} // namespace colours
