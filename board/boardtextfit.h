#pragma once

#include <functional>

// How large a line of the rider board is drawn. A long name in one of the three big lines is drawn smaller
// until the line fits its width, but never below two thirds of the line's size: the board is read from ten
// metres, and a name much smaller than its neighbours would be missed. What still does not fit then ends in
// "…" where it is drawn.
namespace boardtextfit {

// The smallest size a big line is drawn at, for its full size in pixels.
int smallestPixels(int pixels);

// The largest size from `pixels` down to smallestPixels(pixels) at which the line's width at that size
// (`widthAt`) is at most `room`; smallestPixels when none is. Widths only grow with the size, so the search
// halves.
int fittedPixels(int pixels, int room, const std::function<int(int pixels)>& widthAt);

} // namespace boardtextfit
