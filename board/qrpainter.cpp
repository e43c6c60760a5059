#include "qrpainter.h"

#include <QPainter>

namespace qrpainter {

namespace {

constexpr int quietZone = 4;

} // namespace

void paint(QPainter& painter, const QRect& area, const QrCode& code)
{
    painter.fillRect(area, Qt::white);
    if (code.isEmpty())
        return;
    const int modules = code.size + 2 * quietZone;
    const int pixels = std::max(1, std::min(area.width(), area.height()) / modules);
    const int left = area.left() + (area.width() - code.size * pixels) / 2;
    const int top = area.top() + (area.height() - code.size * pixels) / 2;
    for (int y = 0; y < code.size; ++y) {
        for (int x = 0; x < code.size; ++x) {
            if (code.dark(x, y))
                painter.fillRect(left + x * pixels, top + y * pixels, pixels, pixels, Qt::black);
        }
    }
}

QImage picture(const QrCode& code, int modulePixels)
{
    const int side = (code.size + 2 * quietZone) * std::max(1, modulePixels);
    QImage image(side, side, QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, image.rect(), code);
    return image;
}

} // namespace qrpainter
