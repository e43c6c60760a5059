#include "stationstatus.h"

QString clockTime(const QDateTime& at)
{
    return at.isValid() ? at.toString(QStringLiteral("HH:mm:ss")) : QStringLiteral("--:--:--");
}

namespace {

QString starters(int count)
{
    return count == 1 ? QStringLiteral("1 starter") : QStringLiteral("%1 starters").arg(count);
}

} // namespace

QString statusText(const StationStatus& status, const QDateTime& now)
{
    using Follow = StationStatus::Follow;
    using Send = StationStatus::Send;
    using Work = StationStatus::Work;
    QStringList parts;
    switch (status.follow) {
    case Follow::Shown:
        break;
    case Follow::NothingFollowed:
        parts << QStringLiteral("Geen klasse gekozen: kies Bestand > Openen");
        break;
    case Follow::NotFound:
        parts << (status.stale ? QStringLiteral("Niet bijgewerkt sinds %1: het bestand is niet gevonden")
                               : QStringLiteral("Het bestand is niet gevonden sinds %1"))
                     .arg(clockTime(status.since));
        break;
    case Follow::Unreachable:
        parts << (status.stale ? QStringLiteral("Niet bijgewerkt sinds %1: de map is niet bereikbaar")
                               : QStringLiteral("De map is niet bereikbaar sinds %1"))
                     .arg(clockTime(status.since));
        break;
    case Follow::NotToday:
        parts << QStringLiteral("Het bestand is niet van vandaag");
        break;
    }
    // A warning the official must see first, before any news of the office.
    if (!status.crowded.isEmpty() && !status.stale)
        parts << status.crowded;
    // While the list is greyed, what the office did to it before is old news.
    if (status.officeChanged.isValid() && !status.stale) {
        parts << (status.work == Work::Offered
                ? QStringLiteral("Het secretariaat wijzigde de lijst om %1: Opnieuw toepassen zet uw niet verzonden "
                                 "wijzigingen terug")
                : QStringLiteral("Het secretariaat wijzigde de lijst om %1: controleer hem"))
                     .arg(clockTime(status.officeChanged));
    }
    switch (status.work) {
    case Work::None:
        break;
    case Work::Restored:
        parts << QStringLiteral("Niet verzonden wijzigingen teruggezet (%1)").arg(starters(status.count));
        break;
    case Work::Offered:
        if (!status.officeChanged.isValid() || status.stale)
            parts << QStringLiteral("De lijst van het secretariaat is veranderd: Opnieuw toepassen zet uw niet "
                                    "verzonden wijzigingen terug");
        break;
    case Work::Reapplied:
        parts << (status.missing.isEmpty()
                ? QStringLiteral("Opnieuw toegepast: %1 terug").arg(starters(status.count))
                : QStringLiteral("Opnieuw toegepast: %1 terug; niet meer in de lijst: %2")
                      .arg(starters(status.count), status.missing.join(QStringLiteral(", "))));
        break;
    }
    switch (status.send) {
    case Send::None:
        break;
    case Send::Sending:
        parts << QStringLiteral("Bezig met verzenden…");
        break;
    case Send::Hanging:
        parts << QStringLiteral("Verzenden hangt sinds %1: de map antwoordt niet, de wijziging wordt verzonden zodra "
                                "hij weer antwoordt")
                     .arg(clockTime(status.sentAt));
        break;
    case Send::Waiting:
        parts << QStringLiteral("Verzonden om %1, wacht op het secretariaat").arg(clockTime(status.sentAt));
        break;
    case Send::Stalled:
        parts << QStringLiteral("Verzonden om %1, na %2 s nog niet verwerkt door het secretariaat")
                     .arg(clockTime(status.sentAt))
                     .arg(status.sentAt.isValid() ? status.sentAt.secsTo(now) : 0);
        break;
    case Send::TakenIn:
        parts << QStringLiteral("Verwerkt door het secretariaat om %1").arg(clockTime(status.receivedAt));
        break;
    case Send::NotAsSent:
        parts << QStringLiteral("Niet verwerkt zoals verzonden: het secretariaat publiceerde om %1 een andere lijst")
                     .arg(clockTime(status.receivedAt));
        break;
    case Send::Failed:
        parts << QStringLiteral("Verzenden mislukt om %1").arg(clockTime(status.sentAt));
        break;
    case Send::ChangedAfterSend:
        parts << QStringLiteral("Gewijzigd na het verzenden om %1: nog niet verzonden").arg(clockTime(status.sentAt));
        break;
    }
    if (status.closing)
        parts << QStringLiteral("Afsluiten: wacht hooguit 5 s tot de gedeelde map antwoordt");
    if (status.unsent > 0)
        parts << QStringLiteral("Nog niet verzonden: %1 anders dan de lijst van het secretariaat")
                     .arg(starters(status.unsent));
    return parts.join(QStringLiteral("  |  "));
}

StatusTone statusTone(const StationStatus& status)
{
    using Send = StationStatus::Send;
    if (status.follow == StationStatus::Follow::NotFound || status.follow == StationStatus::Follow::Unreachable
        || status.send == Send::Stalled || status.send == Send::NotAsSent || status.send == Send::Failed
        || status.send == Send::Hanging || status.work == StationStatus::Work::Offered
        || (!status.crowded.isEmpty() && !status.stale))
        return StatusTone::Warning;
    if (status.send == Send::Waiting || status.send == Send::ChangedAfterSend || status.send == Send::Sending
        || status.unsent > 0)
        return StatusTone::Waiting;
    if (status.send == Send::TakenIn)
        return StatusTone::Good;
    return StatusTone::Quiet;
}

StationStatus::Follow followOf(RunOrderLoader::FollowProblem problem)
{
    switch (problem) {
    case RunOrderLoader::FollowProblem::NotFound:
        return StationStatus::Follow::NotFound;
    case RunOrderLoader::FollowProblem::FolderUnreachable:
        return StationStatus::Follow::Unreachable;
    case RunOrderLoader::FollowProblem::NotToday:
        return StationStatus::Follow::NotToday;
    case RunOrderLoader::FollowProblem::None:
    case RunOrderLoader::FollowProblem::NothingFollowed:
        break;
    }
    return StationStatus::Follow::NothingFollowed;
}
