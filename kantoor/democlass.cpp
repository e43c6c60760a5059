#include "democlass.h"

#include <QTime>
#include <array>

namespace kantoor {

QString dutchDate(const QDate& date)
{
    static constexpr std::array<const char*, 7> days
        = { "maandag", "dinsdag", "woensdag", "donderdag", "vrijdag", "zaterdag", "zondag" };
    static constexpr std::array<const char*, 12> months = { "januari", "februari", "maart", "april", "mei", "juni",
        "juli", "augustus", "september", "oktober", "november", "december" };
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QLatin1String(days[date.dayOfWeek() - 1]))
        .arg(date.day())
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.year());
}

QStringList jumpingHeader()
{
    return { QStringLiteral("Key"), QStringLiteral("Volg"), QStringLiteral("Nr"), QStringLiteral("Ruiter"),
        QStringLiteral("Paard"), QStringLiteral("Vereniging"), QStringLiteral("Cat"), QStringLiteral("Hoogte"),
        QStringLiteral("Tijd"), QStringLiteral("Status"), QStringLiteral("NG") };
}

namespace {

struct DemoStarter
{
    const char* ruiter;
    const char* paard;
    const char* vereniging;
};

// Latin-1 texts are written as UTF-8 here and carry accents on purpose: the file must hold them as
// single Windows-1252 bytes.
constexpr std::array<DemoStarter, 40> demoStarters { {
    { "Sanne de Vries", "Quibus van de Heuvelhoeve", "LR De Heuvelrijders" },
    { "Daan Bakker", "Orlando Z", "RV Sint Joris" },
    { "Lotte Jansen", "Nina van het Zwanenhof", "LR De Kampruiters" },
    { "Bram Visser", "Jazz Dancer", "RV De Veenhoeve" },
    { "Femke van Dijk", "Kaliber", "LR Het Witte Paard" },
    { "Joris Smit", "Lancelot van 't Hoogeind", "RV Sint Joris" },
    { "Anouk Meijer", "Hermès", "LR De Heuvelrijders" },
    { "Thijs de Boer", "Ultimo", "RV De Schaapskooi" },
    { "Noor Mulder", "Diamant van de Molenhoeve", "LR De Kampruiters" },
    { "Ruben de Groot", "Valentino B", "RV De Veenhoeve" },
    { "Iris Bos", "Chérie", "LR Het Witte Paard" },
    { "Sem Vos", "Indigo", "RV Sint Joris" },
    { "Julia Peters", "Zorro van de Beekhoeve", "LR De Heuvelrijders" },
    { "Lars Hendriks", "Faramir", "RV De Schaapskooi" },
    { "Eva van Leeuwen", "Bolero", "LR De Kampruiters" },
    { "Stijn Dekker", "Gipsy King", "RV De Veenhoeve" },
    { "Zoë Brouwer", "Mistral", "LR Het Witte Paard" },
    { "Niels de Wit", "Rocky van 't Geerhof", "RV Sint Joris" },
    { "Fleur Dijkstra", "Amadeus", "LR De Heuvelrijders" },
    { "Jesse Smits", "Tornado", "RV De Schaapskooi" },
    { "Maud de Graaf", "Uniek", "LR De Kampruiters" },
    { "Koen van der Meer", "Escudo", "RV De Veenhoeve" },
    { "Aimée van der Linden", "Pégase", "LR Het Witte Paard" },
    { "Wouter Kok", "Navarone", "RV Sint Joris" },
    { "Lieke Jacobs", "Saffier van de Lindehoeve", "LR De Heuvelrijders" },
    { "Timo de Haan", "Carambole", "RV De Schaapskooi" },
    { "Roos Vermeulen", "Wervelwind", "LR De Kampruiters" },
    { "Gijs van den Heuvel", "Olympus", "RV De Veenhoeve" },
    { "Isa van der Veen", "Fanta", "LR Het Witte Paard" },
    { "Mees van den Berg", "Hidalgo", "RV Sint Joris" },
    { "Esmee van Wijk", "Tinkerbell", "LR De Heuvelrijders" },
    { "Hidde Schouten", "Quasimodo", "RV De Schaapskooi" },
    { "Loïs Hoekstra", "Elegance", "LR De Kampruiters" },
    { "Jelle Willems", "Vincent", "RV De Veenhoeve" },
    { "Merel Postma", "Belle de Jour", "LR Het Witte Paard" },
    { "Pim van Beek", "Zilverstaar", "RV Sint Joris" },
    { "Vera Kuipers", "Arc-en-ciel", "LR De Heuvelrijders" },
    { "Luuk Prins", "Maestro", "RV De Schaapskooi" },
    { "Tess Huisman", "Dolce Vita", "LR De Kampruiters" },
    { "Olaf Brügemann", "Nachtvlinder", "RV De Veenhoeve" },
} };

// Start of each group (index into demoStarters) and the course height it jumps.
struct DemoGroup
{
    int first;
    const char* hoogte;
};
constexpr std::array<DemoGroup, 3> demoGroups { { { 0, "1.10" }, { 14, "1.15" }, { 27, "1.20" } } };
constexpr int minutesPerStarter = 2;
constexpr int minutesPerPause = 15;

} // namespace

PublishedOrder demoOrder(const QDate& day)
{
    PublishedOrder order;
    order.owner = QStringLiteral("Concours Hippique De Heuvelrug");
    order.wnr = QStringLiteral("2026117");
    order.rid = QStringLiteral("0001");
    order.order = QStringLiteral("1");
    order.titel = QStringLiteral("Springen klasse M - rubriek 7");
    order.datum = dutchDate(day);
    order.begintijd = QStringLiteral("10:30");
    order.editvolgorde = QStringLiteral("1");
    order.editnietgestart = QStringLiteral("1");
    order.header = jumpingHeader();

    QTime time(10, 30);
    std::size_t group = 0;
    for (int i = 0; i < int(demoStarters.size()); ++i) {
        if (group + 1 < demoGroups.size() && i == demoGroups[group + 1].first) {
            ++group;
            order.lines.push_back(
                { QStringLiteral("P"), QString(), QString(), QStringLiteral("Pauze - parcours ophogen"), QString(),
                    QString(), QString(), QString::fromLatin1(demoGroups[group].hoogte),
                    time.toString(QStringLiteral("HH:mm")), QString(), QString() });
            time = time.addSecs(minutesPerPause * 60);
        }
        const DemoStarter& starter = demoStarters[std::size_t(i)];
        order.lines.push_back({ QString::number(1001 + i), QString(), QString::number(101 + (i * 7) % 60),
            QString::fromUtf8(starter.ruiter), QString::fromUtf8(starter.paard), QString::fromUtf8(starter.vereniging),
            QStringLiteral("M"), QString::fromLatin1(demoGroups[group].hoogte), time.toString(QStringLiteral("HH:mm")),
            QString(), QString() });
        time = time.addSecs(minutesPerStarter * 60);
    }
    // One starter the office already has as not started (a lame horse), so the status column shows. The
    // office marks such a starter in both columns, so the ring starts without a change to report.
    order.lines[5][column::Status] = QStringLiteral("N");
    order.lines[5][column::Mark] = QStringLiteral("N");
    numberPositions(order);
    return order;
}

} // namespace kantoor
