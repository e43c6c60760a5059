#include "stationfixture.h"

#include "files.h"
#include "folderlisting.h"

#include <QDir>
#include <QFile>

namespace testsupport {

StationFixture::StationFixture()
    : m_previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    useOwnSettings(m_config.path());
    if (m_root.isValid() && QDir(m_root.path()).mkdir(QStringLiteral("GEDEELD")))
        m_shared = m_root.filePath(QStringLiteral("GEDEELD"));
    // The suite's data folder as the office's installation names it: the shared folder is in it.
    m_settings = SettingsStore::forUser();
    m_settings->setValue(QStringLiteral("Database"), QStringLiteral("InstallPathIndex"), QStringLiteral("2"));
    m_settings->setValue(QStringLiteral("Database"), QStringLiteral("InstallPath"), m_root.path());
}

StationFixture::~StationFixture()
{
    m_station.reset();
    qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
}

QString StationFixture::classPath(const QString& classId) const
{
    return QDir(m_shared).filePath(QStringLiteral("baldovenaar rst-%1.dvz").arg(classId));
}

Station& StationFixture::makeStation(int settleTime)
{
    m_station.reset();
    Station::Options options;
    options.clock = stationClock;
    options.settleTime = settleTime;
    options.dataFolder = m_data.path();
    options.checkTime = checkTime;
    options.sendWait = sendWait;
    options.hangTime = hangTime;
    options.settings = m_settings.get();
    m_station = std::make_unique<Station>(options);
    QObject::connect(
        m_station.get(), &Station::message, m_station.get(), [this](const QString& text) { messages << text; });
    m_station->prepare();
    return *m_station;
}

bool StationFixture::publish(const QByteArray& bytes, const QString& classId)
{
    // Written on the clock's day, an hour before its now and a minute later at every publication.
    return writeFile(classPath(classId), bytes, clock.now().addSecs(-3600 + 60 * m_publications++));
}

bool StationFixture::follow(const QByteArray& bytes, const QString& classId)
{
    if (!publish(bytes, classId))
        return false;
    if (!m_station->isStarted())
        m_station->start();
    m_station->beginOpen();
    m_station->finishOpen(classPath(classId));
    return true;
}

QStringList StationFixture::mutationFiles() const
{
    return platform::listFolder(m_shared, QStringLiteral("*.mut*"), platform::Listing::IncludeHidden);
}

void selectRow(Station& station, int row)
{
    station.selectRow(row);
}

} // namespace testsupport
