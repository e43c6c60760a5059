#include "ringjournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
