#pragma once

#include <QtGlobal>

// The station's colours, as the raw 32-bit values the suite stores: &H00BBGGRR& for a colour,
// &H800000nn& for system colour nn. They are compared as such and become a QColor only when painted.
namespace colours {

// System colours.
inline constexpr quint32 systemWindow = 0x80000005; // window background
inline constexpr quint32 systemWindowText = 0x80000008;
inline constexpr quint32 systemButtonFace = 0x8000000F;
inline constexpr quint32 systemButtonText = 0x80000012;

inline constexpr quint32 white = 0x00FFFFFF;
inline constexpr quint32 black = 0x00000000;
inline constexpr quint32 green = 0x0000FF00; // lblMutatie after the office replaced the list

inline constexpr quint32 buttonFaceBack = 0x00EFF7F7; // the button bar's back colour
// Light green: selected rows, and the grid's own highlighted range.
inline constexpr quint32 selectedRow = 0x00C0FFC0;
inline constexpr quint32 unselectedRow = systemWindow;
inline constexpr quint32 gridBack = white;
inline constexpr quint32 gridLine = 0x00C0C0C0;

// What ContrastKleur picks for text on a background.
inline constexpr quint32 darkText = 0x00010101; // RGB(1, 1, 1)
inline constexpr quint32 lightText = 0x00FEFEFE; // RGB(254, 254, 254)

// The raw value of an RGB colour.
constexpr quint32 rgb(int red, int green, int blue)
{
    return quint32(red & 0xFF) | (quint32(green & 0xFF) << 8) | (quint32(blue & 0xFF) << 16);
}

} // namespace colours
