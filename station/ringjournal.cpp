#include "ringjournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

RingJournal::RingJournal(QString folder)
    : m_folder(std::move(folder))
{
}

QString RingJournal::fileFor(const QString& bestandspad) const
{
    // The class's file name for a person who looks in the folder, and a hash of the whole path, so that two
    // shared folders with a class of the same name keep their work apart.
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(bestandspad.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    return QDir(m_folder).filePath(QFileInfo(bestandspad).completeBaseName() + u'-' + hash + QStringLiteral(".json"));
}

bool RingJournal::save(const RingWork& work)
{
    m_error.clear();
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("de map %1 kan niet worden gemaakt").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    QSaveFile file(fileFor(work.bestandspad));
    if (!file.open(QIODevice::WriteOnly) || file.write(ringWorkToJson(work)) < 0 || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

void RingJournal::remove(const QString& bestandspad)
{
    QFile::remove(fileFor(bestandspad));
}

RingJournal::Loaded RingJournal::load(const QString& bestandspad)
{
    Loaded loaded;
    const QString path = fileFor(bestandspad);
    QFile file(path);
    if (!file.exists())
        return loaded;
    // A journal is a few hundred kilobytes at most; anything far larger is no journal of the station's.
    constexpr qint64 largest = 16 * 1024 * 1024;
    if (file.open(QIODevice::ReadOnly) && file.size() <= largest) {
        loaded.work = ringWorkFromJson(file.read(largest));
        file.close();
        if (loaded.work && loaded.work->bestandspad == bestandspad)
            return loaded;
    }
    loaded.work.reset();
    // Damaged (a disk that failed, a hand that edited it): kept aside for whoever wants to look, out of the
    // way of the next save.
    QString aside = path + QStringLiteral(".beschadigd");
    QFile::remove(aside);
    if (QFile::rename(path, aside))
        loaded.setAside = aside;
    else
        QFile::remove(path);
    return loaded;
}

QString RingJournal::paceFileFor(const QString& bestandspad) const
{
    QString path = fileFor(bestandspad);
    path.chop(int(QStringLiteral(".json").size()));
    return path + QStringLiteral(".tempo.json");
}

bool RingJournal::savePace(const QString& bestandspad, const QString& rid, const QDate& day, const RingPace& pace)
{
    m_error.clear();
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("de map %1 kan niet worden gemaakt").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    const QJsonObject object { { QStringLiteral("bestandspad"), bestandspad }, { QStringLiteral("rid"), rid },
        { QStringLiteral("day"), day.toString(Qt::ISODate) }, { QStringLiteral("pace"), pace.toJson() } };
    QSaveFile file(paceFileFor(bestandspad));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(object).toJson(QJsonDocument::Compact)) < 0
        || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

std::optional<RingPace> RingJournal::loadPace(const QString& bestandspad, const QString& rid, const QDate& day) const
{
    QFile file(paceFileFor(bestandspad));
    // A pace is a few kilobytes; anything far larger is none of the station's.
    constexpr qint64 largest = 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > largest)
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.read(largest)).object();
    if (object.value(QStringLiteral("bestandspad")).toString() != bestandspad
        || object.value(QStringLiteral("rid")).toString() != rid
        || object.value(QStringLiteral("day")).toString() != day.toString(Qt::ISODate))
        return std::nullopt;
    return RingPace::fromJson(object.value(QStringLiteral("pace")).toObject());
}
