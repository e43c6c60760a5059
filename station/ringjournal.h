#pragma once

#include "ringpace.h"
#include "ringwork.h"

#include <QDate>
#include <QString>
#include <optional>

// The ring's unsent work kept on disk, so that a close, a crash or a power cut never costs the official the
// moves and marks not sent yet: one small file per class (by the followed file's path) in the station's own
// data folder, never in the shared folder. It is replaced whole (written beside it, then renamed over it), so
// a crash leaves the previous version or the new one, never half of one. A file that cannot be read as work
// is set aside under another name and reported, never fatal.
class RingJournal
{
public:
    explicit RingJournal(QString folder);

    QString folder() const { return m_folder; }
    QString fileFor(const QString& bestandspad) const;

    // False when it could not be written (the reason in error()).
    bool save(const RingWork& work);
    void remove(const QString& bestandspad);

    struct Loaded
    {
        std::optional<RingWork> work;
        QString setAside; // a damaged file moved to this name; empty when there was none
    };
    Loaded load(const QString& bestandspad);

    QString error() const { return m_error; }

    // The ring's pace in the class (its moves on), kept beside the work so a restart does not forget it: in a
    // file of its own, as it changes at every move on and the work does not. A pace of another class (rid) or of
    // another day is no pace of the class followed now, and is not given back.
    QString paceFileFor(const QString& bestandspad) const;
    bool savePace(const QString& bestandspad, const QString& rid, const QDate& day, const RingPace& pace);
    std::optional<RingPace> loadPace(const QString& bestandspad, const QString& rid, const QDate& day) const;

private:
    QString m_folder;
    QString m_error;
};
