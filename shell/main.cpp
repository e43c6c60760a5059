#include "frmbaldovenaar.h"
#include "qttranslations.h"
#include "station.h"
#include "stopsignals.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Baldovenaar"));
    QApplication::setOrganizationName(QStringLiteral("Korvalen 3.5"));
    installDutchQtTranslations(app);
    Station station;
    FrmBaldovenaar window(station);
    // A shutdown, `kill` or Ctrl+C closes the station as the official would: nothing of its work is lost.
    platform::StopSignals stopSignals;
    QObject::connect(&stopSignals, &platform::StopSignals::stopRequested, &window, &FrmBaldovenaar::stop);
    window.Form_Load();
    if (window.isUnloaded())
        return 0; // stopped while the splash showed
    window.show();
    return app.exec();
}
