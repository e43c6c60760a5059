#include "frmbaldovenaar.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Baldovenaar"));
    QApplication::setOrganizationName(QStringLiteral("Korvalen 3.5"));
    FrmBaldovenaar window;
    window.Form_Load();
    window.show();
    return app.exec();
}
