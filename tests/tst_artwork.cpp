#include "resources.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QSvgRenderer>
#include <QTest>

#include <functional>

using PictureFunction = std::function<QPixmap(qreal)>;
Q_DECLARE_METATYPE(PictureFunction)

namespace {

bool hasVisiblePixels(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 255)
                return true;
    return false;
}

} // namespace

// The station's artwork: each picture is compiled in, renders, and comes out at its exact size.
class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void windowIconHasThreeSizes();
    void disabledSendPictureIsGreyWithTheSameShape();
    void greyedKeepsTransparencyAndFades_data();
    void greyedKeepsTransparencyAndFades();
    void missingPictureIsTransparentAtItsSize();
    void iconFileReadsBackAsDrawn_data();
    void iconFileReadsBackAsDrawn();
};

void TestArtwork::pictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<PictureFunction>("render");
    QTest::addColumn<QSize>("size");

    QTest::newRow("open: yellow folder") << "open.svg" << PictureFunction(artwork::openPicture) << QSize(16, 16);
    QTest::newRow("swap: up and down arrows") << "swap.svg" << PictureFunction(artwork::swapPicture) << QSize(16, 16);
    QTest::newRow("move up: top bar") << "moveup.svg" << PictureFunction(artwork::moveUpPicture) << QSize(16, 16);
    QTest::newRow("move down: lowest bar")
        << "movedown.svg" << PictureFunction(artwork::moveDownPicture) << QSize(16, 16);
    QTest::newRow("send: envelope") << "send.svg" << PictureFunction(artwork::sendPicture) << QSize(35, 26);
    QTest::newRow("send disabled") << "send.svg" << PictureFunction(artwork::sendDisabledPicture) << QSize(35, 26);
    QTest::newRow("splash") << "splash.svg" << PictureFunction(artwork::splashPicture) << QSize(576, 363);
}

void TestArtwork::pictures()
{
    QFETCH(QString, file);
    QFETCH(PictureFunction, render);
    QFETCH(QSize, size);

    const QString path = QStringLiteral(":/baldovenaar/") + file;
    artwork::ensureLoaded();
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QVERIFY(QSvgRenderer(path).isValid());

    const QPixmap picture = render(1.0);
    QCOMPARE(picture.size(), size);
    QVERIFY(hasVisiblePixels(picture.toImage()));

    // On a high-DPI screen: twice the pixels, the same place in the window.
    const QPixmap sharp = render(2.0);
    QCOMPARE(sharp.size(), size * 2);
    QCOMPARE(sharp.deviceIndependentSize().toSize(), size);
}

void TestArtwork::windowIconHasThreeSizes()
{
    const QIcon icon = artwork::windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    QCOMPARE(sizes.size(), 3);
    for (int side : { 16, 32, 48 }) {
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        const QPixmap image = icon.pixmap(QSize(side, side), 1.0);
        QCOMPARE(image.size(), QSize(side, side));
        QVERIFY(hasVisiblePixels(image.toImage()));
    }
}

void TestArtwork::disabledSendPictureIsGreyWithTheSameShape()
{
    const QImage enabled = artwork::sendPicture().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage disabled = artwork::sendDisabledPicture().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(disabled.size(), enabled.size());
    QVERIFY(disabled != enabled);

    int opaque = 0;
    for (int y = 0; y < disabled.height(); ++y) {
        for (int x = 0; x < disabled.width(); ++x) {
            const QRgb grey = disabled.pixel(x, y);
            QCOMPARE(qAlpha(grey), qAlpha(enabled.pixel(x, y)));
            if (qAlpha(grey) == 255) {
                ++opaque;
                QVERIFY2(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey),
                    qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
    }
    QVERIFY(opaque > 0);

    // A button given the send icon shows the grey picture by itself while disabled.
    const QImage fromIcon = artwork::sendIcon().pixmap(QSize(35, 26), 1.0, QIcon::Disabled).toImage();
    QCOMPARE(fromIcon.convertToFormat(QImage::Format_ARGB32), disabled);
}

void TestArtwork::greyedKeepsTransparencyAndFades_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::newRow("opaque red") << QColor(200, 20, 20);
    QTest::newRow("opaque black") << QColor(0, 0, 0);
    QTest::newRow("opaque white") << QColor(255, 255, 255);
    QTest::newRow("half-transparent green") << QColor(30, 160, 60, 128);
    QTest::newRow("fully transparent") << QColor(0, 0, 255, 0);
}

void TestArtwork::greyedKeepsTransparencyAndFades()
{
    QFETCH(QColor, colour);
    QImage source(3, 2, QImage::Format_ARGB32);
    source.fill(colour);

    const QImage grey = artwork::greyed(source);
    QCOMPARE(grey.size(), source.size());
    const QColor result = grey.pixelColor(1, 1);
    QCOMPARE(result.alpha(), colour.alpha());
    if (colour.alpha() > 0) {
        QCOMPARE(result.red(), result.green());
        QCOMPARE(result.green(), result.blue());
        // Faded towards white, never darker than mid-grey, so a disabled button reads as off.
        QVERIFY(result.red() >= 128);
        QVERIFY(result.red() >= qGray(colour.rgb()));
    }
}

void TestArtwork::missingPictureIsTransparentAtItsSize()
{
    const QImage image = artwork::renderSvg(QStringLiteral(":/baldovenaar/no-such-picture.svg"), QSize(35, 26));
    QCOMPARE(image.size(), QSize(35, 26));
    QVERIFY(!hasVisiblePixels(image));
    QCOMPARE(qAlpha(image.pixel(17, 13)), 0);
}

void TestArtwork::iconFileReadsBackAsDrawn_data()
{
    QTest::addColumn<QList<int>>("sides");
    QTest::addColumn<bool>("written");

    QTest::newRow("the Windows program's sizes, 256 among them") << QList<int> { 16, 24, 32, 48, 256 } << true;
    QTest::newRow("one size") << QList<int> { 32 } << true;
    QTest::newRow("no picture: nothing") << QList<int> {} << false;
    QTest::newRow("too large for an entry: nothing") << QList<int> { 16, 257 } << false;
    QTest::newRow("an empty picture: nothing") << QList<int> { 16, 0 } << false;
}

void TestArtwork::iconFileReadsBackAsDrawn()
{
    QFETCH(QList<int>, sides);
    QFETCH(bool, written);

    QList<QImage> pictures;
    for (int side : std::as_const(sides))
        pictures.append(
            side > 0 ? artwork::renderSvg(QStringLiteral(":/baldovenaar/icon.svg"), QSize(side, side)) : QImage());
    QByteArray icon = artwork::iconFile(pictures);
    QCOMPARE(!icon.isEmpty(), written);
    if (!written)
        return;

    // Read back by Qt's own reader of Windows icons: every size, every pixel as drawn.
    QBuffer buffer(&icon);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QCOMPARE(reader.imageCount(), sides.size());
    for (qsizetype k = 0; k < sides.size(); ++k) {
        QVERIFY(reader.jumpToImage(int(k)));
        const QImage read = reader.read();
        QVERIFY2(!read.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(read.size(), QSize(sides[k], sides[k]));
        QCOMPARE(read.convertToFormat(QImage::Format_ARGB32), pictures[k].convertToFormat(QImage::Format_ARGB32));
        QVERIFY(hasVisiblePixels(read));
    }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
