// Build-time tool: renders the station's SVG icon to a square PNG for the desktop's icon theme, or to a Windows
// icon file with several sizes for the Windows program, with the same renderer that draws the window icon, so
// the menu and the Explorer show exactly the emblem the window carries.
//
//     rendericon ICON.svg SIDE OUT.png
//     rendericon ICON.svg SIDE,SIDE,... OUT.ico
//
// Exit status 0 when the file was written, 1 when the SVG cannot be read or the file cannot be written,
// 2 for a bad command line.

#include "resources.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QSaveFile>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    // A build machine has no display; the icon is drawn into an image, never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    const bool toIco = arguments.size() == 4 && arguments.at(3).endsWith(QLatin1String(".ico"), Qt::CaseInsensitive);
    // An icon entry describes at most 256 pixels a side.
    const int largest = toIco ? 256 : 1024;
    QList<int> sides;
    if (arguments.size() == 4) {
        const QStringList texts = arguments.at(2).split(u',');
        for (const QString& text : texts) {
            bool isNumber = false;
            const int side = text.toInt(&isNumber);
            if (!isNumber || side < 1 || side > largest) {
                sides.clear();
                break;
            }
            sides.append(side);
        }
    }
    if (sides.isEmpty() || (!toIco && sides.size() > 1)) {
        err << "usage: rendericon ICON.svg SIDE OUT.png (SIDE from 1 to 1024)\n"
               "       rendericon ICON.svg SIDE,SIDE,... OUT.ico (each SIDE from 1 to 256)"
            << Qt::endl;
        return 2;
    }
    const QString svg = arguments.at(1);
    const QString out = arguments.at(3);
    // renderSvg gives a transparent picture for an unreadable file; an installed blank icon would go unnoticed.
    if (!QSvgRenderer(svg).isValid()) {
        err << "rendericon: cannot read " << svg << Qt::endl;
        return 1;
    }
    if (!toIco) {
        if (!artwork::renderSvg(svg, QSize(sides.first(), sides.first())).save(out, "PNG")) {
            err << "rendericon: cannot write " << out << Qt::endl;
            return 1;
        }
        return 0;
    }
    QList<QImage> pictures;
    for (int side : std::as_const(sides))
        pictures.append(artwork::renderSvg(svg, QSize(side, side)));
    const QByteArray icon = artwork::iconFile(pictures);
    QSaveFile file(out);
    if (icon.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(icon) != icon.size() || !file.commit()) {
        err << "rendericon: cannot write " << out << Qt::endl;
        return 1;
    }
    return 0;
}
