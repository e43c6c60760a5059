#pragma once

#include "clock.h"
#include "settingsstore.h"
#include "station.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// The station as tests drive it: a settings store of its own (in a settings folder of its own, which the
// window's settings use too through XDG_CONFIG_HOME, so no test touches the user's settings) that names the
// suite's data folder, whose shared folder "GEDEELD" is where the office publishes, alone in a folder of its own (so a
// test can see that nothing is written beside it), a clock pinned to 7 December 2026 10:00, files read at
// the first look (they are written whole), and what the station tells the official collected instead of
// shown.
namespace testsupport {

class StationFixture
{
public:
    StationFixture();
    virtual ~StationFixture();
    StationFixture(const StationFixture&) = delete;
    StationFixture& operator=(const StationFixture&) = delete;

    // The day the clock stands on.
    static QDateTime today() { return QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)); }

    bool isValid() const { return m_config.isValid() && m_data.isValid() && m_root.isValid() && !m_shared.isEmpty(); }
    QString sharedFolder() const { return m_shared; }
    // The folder that holds the shared folder, and nothing else until a test puts something there.
    QString rootFolder() const { return m_root.path(); }
    QString configFolder() const { return m_config.path(); }
    // The station's own data folder (the journal of unsent work, the day log): the same for every station the
    // fixture makes, as it is for every start of the program.
    QString dataFolder() const { return m_data.path(); }
    // The path of a class's running-order file in the shared folder.
    QString classPath(const QString& classId = QStringLiteral("0007")) const;

    // A new station (the previous one destroyed first, without its close), prepared as at start-up.
    virtual Station& makeStation(int settleTime = 0);
    Station& station() { return *m_station; }
    // Gone without its close, as in a crash.
    virtual void destroyStation() { m_station.reset(); }

    // The office writes the class's file anew, whole, each time a minute later than the last, so the
    // station sees a new write. False when it could not be written.
    bool publish(const QByteArray& bytes, const QString& classId = QStringLiteral("0007"));
    // Publishes the class and opens it as the official would (Openen, the file chosen): the station then
    // shows it. False when the file could not be written.
    bool follow(const QByteArray& bytes, const QString& classId = QStringLiteral("0007"));

    // The mutation files in the shared folder, hidden ones included.
    QStringList mutationFiles() const;

    platform::FixedClock clock { today() };
    // The clock the next station is made with: `clock`, unless a test gives another (the system clock,
    // beside a program that dates its files by the real one).
    platform::Clock* stationClock = &clock;
    QStringList messages;
    // How long the next station waits for the shared folder at a check and at the send button. Long here, so
    // that every answer of the local folder is there before a test looks; a test of a slow share sets the
    // station's own.
    int checkTime = 5000;
    int sendWait = 10000;
    int hangTime = SendQueue::defaultHangTime;

private:
    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QTemporaryDir m_root;
    QString m_shared;
    QByteArray m_previousConfigHome;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<Station> m_station;
    int m_publications = 0;
};

// Makes one row of grid(1) the current and only selected one, as a plain click on it does.
void selectRow(Station& station, int row);

} // namespace testsupport
