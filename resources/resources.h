#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

// The station's pictures, rendered from the SVG artwork compiled into the program (":/baldovenaar/…").
// Every picture comes out at its exact logical size; with a device pixel ratio above 1 it is drawn with
// that many more pixels, so it stays sharp on a high-DPI screen without changing the window's layout.
// A picture whose file is missing or unreadable comes out fully transparent at its size, so a window
// never loses its layout over a broken resource. Needs a QGuiApplication.
namespace artwork {

// Makes sure the compiled-in artwork is registered (a static library's resources need it).
void ensureLoaded();

// Renders one SVG file at a logical size; transparent where the file draws nothing or cannot be read.
QImage renderSvg(const QString& path, const QSize& size, qreal devicePixelRatio = 1.0);

// The same picture in grey, the way a disabled button shows it: every pixel becomes a lightened grey of
// its own brightness, with its transparency kept.
QImage greyed(const QImage& picture);

// The main window's icon: the same emblem at 16 × 16, 32 × 32 and 48 × 48.
QIcon windowIcon();

// The 16 × 16 button pictures: open file (a yellow folder), swap two lines (up and down arrows),
// move the current line up or down (four lines with the top or the lowest one highlighted).
QPixmap openPicture(qreal devicePixelRatio = 1.0);
QPixmap swapPicture(qreal devicePixelRatio = 1.0);
QPixmap moveUpPicture(qreal devicePixelRatio = 1.0);
QPixmap moveDownPicture(qreal devicePixelRatio = 1.0);

// The 35 × 26 send picture (an envelope with an arrow) and its grey version for the disabled button.
QPixmap sendPicture(qreal devicePixelRatio = 1.0);
QPixmap sendDisabledPicture(qreal devicePixelRatio = 1.0);

// Both send pictures in one icon (normal and disabled mode), so a button shows the grey one by itself
// whenever it is disabled.
QIcon sendIcon(qreal devicePixelRatio = 1.0);

// The 576 × 363 picture of the splash window.
QPixmap splashPicture(qreal devicePixelRatio = 1.0);

// A Windows icon file (.ico) holding the pictures in the order given, each as a PNG entry (which Windows
// reads since Vista), for the icon a Windows build puts into its program. Empty when there is no picture, or
// one is empty or larger than the 256 × 256 an icon entry can describe. Needs no QGuiApplication.
QByteArray iconFile(const QList<QImage>& pictures);

} // namespace artwork
