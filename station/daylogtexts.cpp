#include "daylogtexts.h"

#include "columns.h"
#include "gridtable.h"
#include "systemerrors.h"

#include <QDir>

namespace daylogtext {

namespace {

QString time(const QDateTime& at)
{
    return at.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString starter(const GridTable& working, int row)
{
    if (row < 1 || row >= working.rows())
        return QString();
    const QString number = working.textMatrix(row, column::Number);
    const QString rider = working.textMatrix(row, column::Rider);
    const QString horse = working.textMatrix(row, column::Horse);
    QString text = number.isEmpty() ? rider : number + u' ' + rider;
    if (!horse.isEmpty())
        text += QStringLiteral(" (%1)").arg(horse);
    return text.isEmpty() ? working.textMatrix(row, column::Key) : text;
}

QString read(RunOrderLoader::ListChange change, const GridTable& working,
    const std::vector<runordermerge::ChangedCell>& mergedCells, const QString& officeChanges)
{
    const int lines = working.rows() - 1;
    if (change == RunOrderLoader::ListChange::Rebuilt)
        return QStringLiteral("lijst van het secretariaat gelezen: %1 regels").arg(lines);
    if (change == RunOrderLoader::ListChange::Merged) {
        QStringList changed;
        int lastRow = 0;
        for (const runordermerge::ChangedCell& cell : mergedCells) {
            if (cell.row != lastRow)
                changed << starter(working, cell.row);
            lastRow = cell.row;
        }
        return QStringLiteral("lijst van het secretariaat samengevoegd, gewijzigd bij: %1").arg(changed.join(u"; "));
    }
    const QString replaced
        = QStringLiteral("lijst van het secretariaat vervangt die van de ring (%1 regels)").arg(lines);
    return officeChanges.isEmpty() ? replaced : replaced + QStringLiteral(": ") + officeChanges;
}

QString afterHanging(qint64 seconds)
{
    return QStringLiteral(" (na %1 s: de gedeelde map antwoordde niet eerder)").arg(seconds);
}

QString sendHangs(double seconds, const QDateTime& sentAt)
{
    return QStringLiteral("verzenden hangt: de gedeelde map antwoordt na %1 s niet (verzonden om %2)")
        .arg(seconds)
        .arg(sentAt.toString(QStringLiteral("HH:mm:ss")));
}

QString cleanUpHangs()
{
    return QStringLiteral("de gedeelde map antwoordt niet: het opruimen van de mutatiebestanden wacht");
}

QString closedWhileHanging(int seconds, bool sendUnderWay)
{
    return QStringLiteral("afgesloten terwijl de gedeelde map na %1 s nog niet antwoordde: %2")
        .arg(seconds)
        .arg(sendUnderWay ? QStringLiteral("de laatste verzending heeft de map mogelijk niet bereikt")
                          : QStringLiteral("de mutatiebestanden zijn mogelijk niet opgeruimd"));
}

QString removed(const QString& occasion, const QStringList& names, const QDateTime& untakenSend)
{
    QString text = QStringLiteral("%1 verwijderd: %2").arg(occasion, names.join(QStringLiteral(", ")));
    if (untakenSend.isValid())
        text += QStringLiteral("; de verzending van %1 was niet verwerkt door het secretariaat")
                    .arg(untakenSend.toString(QStringLiteral("HH:mm:ss")));
    return text;
}

QString shareUnreachable(bool greyed)
{
    return greyed ? QStringLiteral("de gedeelde map is niet bereikbaar: de laatste lijst blijft grijs staan")
                  : QStringLiteral("de gedeelde map is niet bereikbaar");
}

QString shareBack()
{
    return QStringLiteral("de gedeelde map is weer bereikbaar");
}

QString fileNotFound(bool greyed)
{
    return greyed ? QStringLiteral("het bestand is niet gevonden: de laatste lijst blijft grijs staan")
                  : QStringLiteral("het bestand is niet gevonden");
}

QString fileBack()
{
    return QStringLiteral("het bestand is weer gevonden");
}

QString notToday(bool wasShown)
{
    return wasShown ? QStringLiteral("de lijst is niet meer getoond: het bestand is niet van vandaag")
                    : QStringLiteral("het bestand is niet van vandaag");
}

QString keptPastMidnight(const QDate& fileDay)
{
    return QStringLiteral("na middernacht blijft de lijst getoond: het bestand is van %1, de ring werkt erop verder")
        .arg(fileDay.toString(QStringLiteral("dd-MM-yyyy")));
}

QString ringMovedByOffice(const QString& now, const QString& before)
{
    return now.isEmpty()
        ? QStringLiteral("in de ring: niemand meer na de wijziging van het secretariaat (was %1)").arg(before)
        : QStringLiteral("in de ring na de wijziging van het secretariaat: %1 (was %2)").arg(now, before);
}

QString sent(const QStringList& files)
{
    return QStringLiteral("verzonden: %1").arg(files.join(QStringLiteral(", ")));
}

QString sendFailed(const SendResult& result)
{
    QStringList reasons;
    for (const MutationFailure& failure : result.failures)
        reasons << QStringLiteral("%1 (%2)").arg(
            QDir::toNativeSeparators(failure.path), platform::reasonInDutch(failure.reason));
    return QStringLiteral("verzenden mislukt: %1").arg(reasons.join(QStringLiteral("; ")));
}

QString takenIn(const QDateTime& sentAt)
{
    return QStringLiteral("verwerkt door het secretariaat (verzonden om %1)").arg(time(sentAt));
}

QString takenInButChanged(const QDateTime& sentAt)
{
    return QStringLiteral(
        "verwerkt door het secretariaat zoals verzonden om %1, maar de ring wijzigde de lijst daarna: "
        "nog niet verzonden")
        .arg(time(sentAt));
}

QString notAsSent(const QDateTime& sentAt)
{
    return QStringLiteral("niet verwerkt zoals verzonden: het secretariaat publiceerde een andere lijst (verzonden om "
                          "%1)")
        .arg(time(sentAt));
}

QString stalled(int seconds, const QDateTime& sentAt)
{
    return QStringLiteral("na %1 s niet verwerkt door het secretariaat (verzonden om %2)")
        .arg(seconds)
        .arg(time(sentAt));
}

QString workReplacedByOffice(const QStringList& names)
{
    return QStringLiteral("niet verzonden wijzigingen vervangen door de lijst van het secretariaat: %1 (Opnieuw "
                          "toepassen mogelijk)")
        .arg(names.join(QStringLiteral(", ")));
}

QString journalSetAside(const QString& path)
{
    return QStringLiteral("werkbestand beschadigd, apart gezet als %1").arg(path);
}

QString workOfOtherClass(const QString& rid)
{
    return QStringLiteral("werk van een andere klasse (rid %1) niet teruggezet").arg(rid);
}

QString workOffered(const QDateTime& saved)
{
    return QStringLiteral("niet verzonden wijzigingen van %1 aangeboden: het secretariaat wijzigde de lijst sindsdien")
        .arg(time(saved));
}

QString workRestored(const QDateTime& saved, const QStringList& names)
{
    return QStringLiteral("niet verzonden wijzigingen van %1 teruggezet: %2")
        .arg(time(saved), names.join(QStringLiteral(", ")));
}

QString reapplied(int changesBack, const QStringList& missing)
{
    QString what = QStringLiteral("opnieuw toegepast: %1 terug").arg(changesBack);
    if (!missing.isEmpty())
        what += QStringLiteral(", niet meer in de lijst: %1").arg(missing.join(QStringLiteral(", ")));
    return what;
}

QString offerLapsed(OfferEnd end, const QStringList& names)
{
    switch (end) {
    case OfferEnd::Sent:
        return QStringLiteral("aanbod om opnieuw toe te passen vervalt: de lijst van de ring is verzonden");
    case OfferEnd::OtherClass:
        return QStringLiteral("aanbod om opnieuw toe te passen vervalt: een andere klasse geopend");
    case OfferEnd::Discarded:
        break;
    }
    return QStringLiteral("teruggezet werk vergeten op verzoek (niet toegepast): %1")
        .arg(names.join(QStringLiteral(", ")));
}

QString opened()
{
    return QStringLiteral("geopend");
}

QString moved(const QString& starter, const QString& from, const QString& to)
{
    return QStringLiteral("verplaatst: %1 van plaats %2 naar %3").arg(starter, from, to);
}

QString swapped(const QString& first, const QString& firstPlace, const QString& second, const QString& secondPlace)
{
    return QStringLiteral("gewisseld: %1 naar plaats %2 en %3 naar plaats %4")
        .arg(first, firstPlace, second, secondPlace);
}

QString notStarted(const QStringList& marked, const QStringList& unmarked)
{
    QStringList what;
    if (!marked.isEmpty())
        what << QStringLiteral("niet gestart: %1").arg(marked.join(u"; "));
    if (!unmarked.isEmpty())
        what << QStringLiteral("niet gestart teruggenomen: %1").arg(unmarked.join(u"; "));
    return what.join(QStringLiteral(" / "));
}

QString undone(const QString& what)
{
    return QStringLiteral("ongedaan gemaakt: %1").arg(what);
}

QString redone(const QString& what)
{
    return QStringLiteral("opnieuw gedaan: %1").arg(what);
}

QString inRing(const QString& starter)
{
    return QStringLiteral("in de ring: %1").arg(starter);
}

QString inRingBack(const QString& starter)
{
    return QStringLiteral("in de ring (terug): %1").arg(starter);
}

QString paceRestored(int rounds, const QString& inRing)
{
    return QStringLiteral("tempo van de ring teruggezet (%1 rondes), in de ring: %2").arg(rounds).arg(inRing);
}

} // namespace daylogtext
