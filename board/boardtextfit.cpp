#include "boardtextfit.h"

#include <algorithm>

namespace boardtextfit {

int smallestPixels(int pixels)
{
    // Rounded up: two thirds is the least, never a pixel below it.
    return std::max(1, (2 * pixels + 2) / 3);
}

int fittedPixels(int pixels, int room, const std::function<int(int pixels)>& widthAt)
{
    const int smallest = smallestPixels(pixels);
    if (pixels <= smallest || widthAt(pixels) <= room)
        return std::max(1, pixels);
    int low = smallest;
    int high = pixels - 1;
    if (widthAt(low) > room)
        return smallest;
    // widthAt(low) fits and widthAt(high + 1) does not.
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (widthAt(middle) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

} // namespace boardtextfit
