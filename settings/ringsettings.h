#pragma once

class SettingsStore;

// The ring's own settings in the station's section "Baldovenaar", which the office programs do not read:
// "ruiterafstand", how many other starters must at least stand between two rounds of one rider before a move by
// the ring warns (default 2; 0 switches the warning off). A value that is no whole number from 0 to 99 counts
// as the default, so a mistyped setting never silences the warning.
namespace ringsettings {

inline constexpr int defaultRiderDistance = 2;
inline constexpr int largestRiderDistance = 99;

int riderDistance(const SettingsStore& store);

} // namespace ringsettings
