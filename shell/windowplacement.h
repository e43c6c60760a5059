#pragma once

#include <QRect>
#include <optional>

class QWidget;

// Where the main window stands: centred on the primary screen at the first start (shrunk to fit a smaller
// screen), back where and as large as the official left it at the next (within the screens there are now), and
// kept at the close, in its normal (not maximised) state.
namespace windowplacement {

void centreOnScreen(QWidget& window);
// Back at `saved` (the client area last kept) when that still makes a window on one of the screens; centred
// otherwise. A maximised or full-screen window stays as it is.
void placeOnScreen(QWidget& window, const std::optional<QRect>& saved);
// Keeps the window's normal place and whether it is maximised, in the user's settings.
void keep(const QWidget& window);

} // namespace windowplacement
