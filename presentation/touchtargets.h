#pragma once

#include <QList>

class QScreen;
class QWidget;

// Buttons a finger can hit: on a station with a touch screen, the move and edit buttons are made at least nine
// millimetres square, measured on the screen they are shown on. Without a touch screen nothing changes, so the
// window keeps the layout the mouse was given.
namespace touchtargets {

inline constexpr double minimumMillimetres = 9.0;

bool hasTouchScreen();
// Nine millimetres in logical pixels on the screen (at the screen's physical size where it reports a plausible
// one, else at its logical resolution).
int minimumPixels(const QScreen* screen);
// Gives each widget at least that size when there is a touch screen (or `force`); true when it did.
bool enlarge(const QList<QWidget*>& widgets, const QScreen* screen, bool force = false);

} // namespace touchtargets
