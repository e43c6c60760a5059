#include "livepage.h"

#include "liveaddresses.h"
#include "livefeed.h"
#include "livefolder.h"
#include "livepagesource.h"
#include "liveserver.h"

LivePage::LivePage(Station& station, QObject* parent)
    : QObject(parent)
    , m_station(station)
{
}

LivePage::~LivePage()
{
    // The server's connections go before the feed they answer from.
    m_server.reset();
    m_folder.reset();
    m_feed.reset();
}

bool LivePage::start(const LiveSettings& settings)
{
    stop();
    m_on = true;
    m_feed = std::make_unique<LiveFeed>(m_station);
    m_server = std::make_unique<LiveServer>(*m_feed);

    const QList<QHostAddress> addresses = liveaddress::machineAddresses();
    const std::optional<QHostAddress> address = liveaddress::choose(settings.address, addresses);
    if (!address) {
        m_serverProblem = QStringLiteral("Live pagina niet op het netwerk: het adres %1 is niet van deze computer")
                              .arg(settings.address);
    } else if (!m_server->listen(*address, settings.port)) {
        m_serverProblem = m_server->portInUse()
            ? QStringLiteral("Live pagina niet op het netwerk: poort %1 is al in gebruik").arg(settings.port)
            : QStringLiteral("Live pagina niet op het netwerk: %1:%2 kan niet worden gebruikt")
                  .arg(address->toString())
                  .arg(settings.port);
    } else {
        m_server->setHostNames(liveaddress::hostNames(addresses));
        m_url = liveaddress::pageUrl(*address, m_server->port());
    }
    if (!settings.folder.isEmpty()) {
        m_folder = std::make_unique<LiveFolder>(settings.folder);
        connect(m_feed.get(), &LiveFeed::changed, this, &LivePage::writeFolder);
        if (m_folder->writePage(livepage::html()))
            writeFolder();
        else
            setProblem(m_folder->error());
    } else {
        setProblem(QString());
    }
    emit changed();
    return !m_url.isEmpty() || (m_folder && m_folder->exists());
}

void LivePage::stop()
{
    const bool was = m_on;
    m_server.reset();
    m_folder.reset();
    m_feed.reset();
    m_on = false;
    m_url.clear();
    m_problem.clear();
    m_serverProblem.clear();
    if (was)
        emit changed();
}

void LivePage::writeFolder()
{
    if (!m_folder || !m_feed)
        return;
    setProblem(m_folder->writeStand(m_feed->json()) ? QString() : m_folder->error());
}

void LivePage::setProblem(const QString& folderProblem)
{
    QStringList parts;
    if (!m_serverProblem.isEmpty())
        parts.append(m_serverProblem);
    if (!folderProblem.isEmpty())
        parts.append(QStringLiteral("Live pagina niet in de map: ") + folderProblem);
    const QString problem = parts.join(QStringLiteral("; "));
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit changed();
}
