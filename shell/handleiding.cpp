#include "handleiding.h"

#include "frmintro.h"

#include <QCoreApplication>
#include <QDir>

namespace handleiding {

QStringList candidates()
{
    const QString program = QCoreApplication::applicationDirPath();
    return { QDir(program).filePath(QStringLiteral("../share/doc/baldovenaar/handleiding.md")),
        QDir(program).filePath(QStringLiteral("handleiding.md")),
        QStringLiteral(BALDOVENAAR_SOURCE_DIR "/docs/handleiding.md"),
        QStringLiteral("/usr/share/doc/baldovenaar/handleiding.md") };
}

QString overBaldovenaarText()
{
    return QStringLiteral("Baldovenaar, %1\n\nDe ringpost van het wedstrijdsecretariaat Korvalen 3.5: toont de "
                          "startvolgorde van de rubriek bij de ring, volgt het bestand van het secretariaat en stuurt "
                          "de wijzigingen van de ring terug.\n\nGebouwd met Qt %2.")
        .arg(programVersionText(), QString::fromLatin1(qVersion()));
}

} // namespace handleiding
