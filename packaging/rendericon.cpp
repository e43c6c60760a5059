// Build-time tool: renders the station's SVG icon to a square PNG for the desktop's icon theme, with the
// same renderer that draws the window icon, so the menu shows exactly the emblem the window carries.
//
//     rendericon ICON.svg SIDE OUT.png
//
// Exit status 0 when the PNG was written, 1 when the SVG cannot be read or the PNG cannot be written,
// 2 for a bad command line.

#include "resources.h"

#include <QGuiApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    // A build machine has no display; the icon is drawn into an image, never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    bool sideIsNumber = false;
    const int side = arguments.size() == 4 ? arguments.at(2).toInt(&sideIsNumber) : 0;
    if (!sideIsNumber || side < 1 || side > 1024) {
        err << "usage: rendericon ICON.svg SIDE OUT.png (SIDE from 1 to 1024)" << Qt::endl;
        return 2;
    }
    const QString svg = arguments.at(1);
    const QString png = arguments.at(3);
    // renderSvg gives a transparent picture for an unreadable file; an installed blank icon would go unnoticed.
    if (!QSvgRenderer(svg).isValid()) {
        err << "rendericon: cannot read " << svg << Qt::endl;
        return 1;
    }
    if (!artwork::renderSvg(svg, QSize(side, side)).save(png, "PNG")) {
        err << "rendericon: cannot write " << png << Qt::endl;
        return 1;
    }
    return 0;
}
