#include "stationprocess.h"

#include "processgroup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

StationProcess::StationProcess(QString folder, QString followed)
    : m_folder(std::move(folder))
    , m_followed(std::move(followed))
{
}

StationProcess::~StationProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool StationProcess::start(QString* why)
{
    QFile settings(m_folder + QStringLiteral("/config/Korvalen 3.5.ini"));
    if (!QDir().mkpath(m_folder + QStringLiteral("/config")) || !settings.open(QIODevice::WriteOnly)
        || settings.write("[Baldovenaar]\nlastfile=" + QFile::encodeName(m_followed) + '\n') <= 0) {
        *why = QStringLiteral("cannot write %1").arg(settings.fileName());
        return false;
    }
    settings.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder + QStringLiteral("/config"));
    environment.insert(QStringLiteral("HOME"), m_folder);
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("baldovenaar.*=true;qt.qpa.*=false"));
    environment.insert(
        QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{time yyyy-MM-ddTHH:mm:ss.zzz} %{category} %{message}"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    processgroup::endWithStarter(m_process);
    m_started = QDateTime::currentDateTime();
    m_process.start(QStringLiteral(BALDOVENAAR_PROGRAM), {});
    if (!m_process.waitForStarted(10000)) {
        *why = QStringLiteral("the station does not start: %1").arg(m_process.errorString());
        return false;
    }
    return true;
}

void StationProcess::takeOutput()
{
    m_log += m_process.readAll();
    qsizetype end;
    while ((end = m_log.indexOf('\n', m_parsed)) >= 0) {
        const QByteArray line = m_log.mid(m_parsed, end - m_parsed);
        m_parsed = end + 1;
        const qsizetype at = line.indexOf(" shown: sha1 ");
        if (at < 0)
            continue;
        const QDateTime time
            = QDateTime::fromString(QString::fromLatin1(line.left(23)), QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
        m_shown.append({ line.mid(at + 13, 40), time });
    }
}

std::optional<QDateTime> StationProcess::waitForShown(const QByteArray& sha1, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        takeOutput();
        for (const auto& [shown, time] : std::as_const(m_shown)) {
            if (shown == sha1)
                return time;
        }
        if (deadline.hasExpired() || m_process.state() != QProcess::Running)
            return std::nullopt;
        m_process.waitForReadyRead(int(qBound(qint64(1), deadline.remainingTime(), qint64(200))));
    }
}

bool StationProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return false;
    m_process.terminate();
    const bool ended = m_process.waitForFinished(10000);
    takeOutput();
    return ended && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QString StationProcess::logTail() const
{
    return QString::fromLocal8Bit(m_log.right(3000));
}
