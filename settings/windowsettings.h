#pragma once

#include <QRect>
#include <optional>

class SettingsStore;

// The main window's own settings, in the station's section "Baldovenaar" beside "lastfile" and "scale": where
// the window stood and whether it was maximised ("windowleft", "windowtop", "windowwidth", "windowheight" in
// pixels, "windowstate" 0 normal or 2 maximised, as the suite's programs count window states), and the
// sunlight mode ("sunlight", 1 on or 0 off). The office programs read none of them.
struct WindowSettings
{
    // The client area in the normal (not maximised) state, in logical pixels of the whole desktop; nothing
    // when it was never saved or the values make no window.
    std::optional<QRect> geometry;
    bool maximised = false;
    bool sunlight = false;
    // "scale" holds a value: a zoom the official chose or the station kept, not the first start's.
    bool scaleSaved = false;
};

WindowSettings readWindowSettings(const SettingsStore& store);
// False when a value could not be stored.
bool saveWindowPlacement(const QRect& geometry, bool maximised, SettingsStore& store);
bool saveSunlight(bool on, SettingsStore& store);

// The same on the user's own store.
WindowSettings readWindowSettings();
bool saveWindowPlacement(const QRect& geometry, bool maximised);
bool saveSunlight(bool on);
