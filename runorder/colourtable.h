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

// The status line's back colours, one per tone; its text is always black.
inline constexpr quint32 statusQuiet = rgb(0xF0, 0xF0, 0xF0);
inline constexpr quint32 statusWaiting = rgb(0xFF, 0xF4, 0xC2); // pale yellow
inline constexpr quint32 statusGood = rgb(0xD4, 0xF0, 0xD0); // pale green
inline constexpr quint32 statusWarning = rgb(0xFF, 0xD0, 0xC8); // pale red
inline constexpr quint32 statusText = black;

// A list that is not up to date is shown through a grey veil of this colour and opacity (0..255).
inline constexpr quint32 staleVeil = rgb(160, 160, 160);
inline constexpr int staleVeilAlpha = 110;

// The sunlight mode: for a screen in the open air, where the light greens and greys of the office's design
// wash out. No system colours (a dark desktop theme must not turn the text light), black text everywhere,
// and every text at a contrast of 7:1 or more against what it stands on, also under the veil of a list
// that is not up to date.
namespace sunlight {

inline constexpr quint32 page = white; // cells, the window, the strip
inline constexpr quint32 text = black;
inline constexpr quint32 header = rgb(0xD0, 0xD0, 0xD0); // the header row
// A saturated green: black on it is 9.6:1, and with the dark frame around the selected rows it stands out
// from the white ones.
inline constexpr quint32 selected = rgb(0x00, 0xCC, 0x00);
inline constexpr quint32 frame = black; // around the selection and the office's changes; the unsent marker
inline constexpr quint32 gridLine = rgb(0x80, 0x80, 0x80);
// The change indicator says "Nieuwe lijst" on it.
inline constexpr quint32 indicatorNew = selected;
inline constexpr double minimumContrast = 7.0;

// Every text of the mode and what it stands on.
struct TextOn
{
    quint32 text;
    quint32 back;
    const char* where;
};
inline constexpr TextOn textPairs[] = {
    { text, page, "a cell, a heading label, the button strip" },
    { text, header, "the header row" },
    { text, selected, "a selected row" },
    { text, indicatorNew, "the change indicator after a new list" },
    { text, buttonFaceBack, "a button" },
    { statusText, statusQuiet, "the status line, quiet" },
    { statusText, statusWaiting, "the status line, waiting" },
    { statusText, statusGood, "the status line, taken in" },
    { statusText, statusWarning, "the status line, look" },
};

} // namespace sunlight

} // namespace colours
