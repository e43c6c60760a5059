#pragma once

// The zoom factor of the grid (AppState::scale): the font size is the window's outer width in pixels
// times the factor. The settings, the zoom steps and the layout keep it within one range.
namespace zoomfactor {

inline constexpr double minimum = 0.005;
inline constexpr double maximum = 0.1;

// The factor within minimum..maximum.
inline double clamp(double scale)
{
    if (scale < minimum)
        scale = minimum;
    if (scale > maximum)
        scale = maximum;
    return scale;
}

} // namespace zoomfactor
