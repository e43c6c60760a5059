#pragma once

#include <cmath>

// Twips, the unit the suite's windows are laid out in: 1/1440 inch, 15 to a logical pixel (Qt's
// device-independent pixel), so a layout in twips holds on high-DPI screens too. The one conversion
// between the two, rounding to the nearest pixel wherever a twips value is shown.
namespace twips {

inline constexpr int perPixel = 15;

inline int toPixels(double twips)
{
    return int(std::lround(twips / perPixel));
}

constexpr int fromPixels(int pixels)
{
    return pixels * perPixel;
}

} // namespace twips
