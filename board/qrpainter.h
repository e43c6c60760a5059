#pragma once

#include "qrcode.h"

#include <QImage>
#include <QRect>

class QPainter;

// Paints a QR code: black modules on white, with the quiet zone of four modules a scanner needs around it, in
// whole pixels per module (a blurred edge reads worse from afar), centred in the square given.
namespace qrpainter {

void paint(QPainter& painter, const QRect& area, const QrCode& code);
// The code as a picture, `modulePixels` pixels a module, quiet zone included.
QImage picture(const QrCode& code, int modulePixels);

} // namespace qrpainter
