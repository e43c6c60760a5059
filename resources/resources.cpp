#include "resources.h"

#include <QBuffer>
#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerArtwork()
{
#ifdef BALDOVENAAR_HAS_ARTWORK
    // Registering twice is harmless: Qt ignores a resource tree it already knows.
    Q_INIT_RESOURCE(artwork);
#endif
}

namespace artwork {

namespace {

constexpr QSize buttonSize(16, 16);
constexpr QSize sendSize(35, 26);
constexpr QSize splashSize(576, 363);

QPixmap picture(const QString& name, const QSize& size, qreal devicePixelRatio)
{
    return QPixmap::fromImage(renderSvg(QStringLiteral(":/baldovenaar/") + name, size, devicePixelRatio));
}

} // namespace

void ensureLoaded()
{
    registerArtwork();
}

QImage renderSvg(const QString& path, const QSize& size, qreal devicePixelRatio)
{
    ensureLoaded();
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (renderer.isValid()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        // The painter works in logical units on an image with a device pixel ratio.
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return image;
}

QImage greyed(const QImage& picture)
{
    // Straight (not premultiplied) colours, so the grey level is that of the colour itself.
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb pixel = line[x];
            // Halfway to white: a disabled button reads as faded, not as a dark grey copy.
            const int level = 128 + qGray(pixel) / 2;
            line[x] = qRgba(level, level, level, qAlpha(pixel));
        }
    }
    return grey;
}

QIcon windowIcon()
{
    QIcon icon;
    for (int side : { 16, 32, 48 })
        icon.addPixmap(picture(QStringLiteral("icon.svg"), QSize(side, side), 1.0));
    return icon;
}

QPixmap openPicture(qreal devicePixelRatio)
{
    return picture(QStringLiteral("open.svg"), buttonSize, devicePixelRatio);
}

QPixmap swapPicture(qreal devicePixelRatio)
{
    return picture(QStringLiteral("swap.svg"), buttonSize, devicePixelRatio);
}

QPixmap moveUpPicture(qreal devicePixelRatio)
{
    return picture(QStringLiteral("moveup.svg"), buttonSize, devicePixelRatio);
}

QPixmap moveDownPicture(qreal devicePixelRatio)
{
    return picture(QStringLiteral("movedown.svg"), buttonSize, devicePixelRatio);
}

QPixmap sendPicture(qreal devicePixelRatio)
{
    return picture(QStringLiteral("send.svg"), sendSize, devicePixelRatio);
}

QPixmap sendDisabledPicture(qreal devicePixelRatio)
{
    const QImage send = renderSvg(QStringLiteral(":/baldovenaar/send.svg"), sendSize, devicePixelRatio);
    QImage grey = greyed(send);
    grey.setDevicePixelRatio(send.devicePixelRatio());
    return QPixmap::fromImage(grey);
}

QIcon sendIcon(qreal devicePixelRatio)
{
    QIcon icon;
    icon.addPixmap(sendPicture(devicePixelRatio), QIcon::Normal);
    icon.addPixmap(sendDisabledPicture(devicePixelRatio), QIcon::Disabled);
    return icon;
}

QPixmap splashPicture(qreal devicePixelRatio)
{
    return picture(QStringLiteral("splash.svg"), splashSize, devicePixelRatio);
}

QByteArray iconFile(const QList<QImage>& pictures)
{
    // The icon directory: a 6-byte header and a 16-byte entry per picture, little-endian, then the pictures.
    constexpr int headerSize = 6;
    constexpr int entrySize = 16;
    if (pictures.isEmpty() || pictures.size() > 0xFFFF)
        return {};
    QList<QByteArray> pngs;
    for (const QImage& image : pictures) {
        if (image.isNull() || image.width() > 256 || image.height() > 256)
            return {};
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG"))
            return {};
        pngs.append(png);
    }
    QByteArray file;
    const auto put16 = [&](quint32 value) {
        file.append(char(value & 0xFF));
        file.append(char((value >> 8) & 0xFF));
    };
    const auto put32 = [&](quint32 value) {
        put16(value & 0xFFFF);
        put16(value >> 16);
    };
    put16(0); // reserved
    put16(1); // an icon, not a cursor
    put16(quint32(pictures.size()));
    quint32 offset = quint32(headerSize + entrySize * pictures.size());
    for (qsizetype k = 0; k < pictures.size(); ++k) {
        // A side of 256 is written as 0, since the field holds one byte.
        file.append(char(pictures[k].width() & 0xFF));
        file.append(char(pictures[k].height() & 0xFF));
        file.append(char(0)); // no palette
        file.append(char(0)); // reserved
        put16(1); // colour planes
        put16(32); // bits per pixel
        put32(quint32(pngs[k].size()));
        put32(offset);
        offset += quint32(pngs[k].size());
    }
    for (const QByteArray& png : std::as_const(pngs))
        file.append(png);
    return file;
}

} // namespace artwork
