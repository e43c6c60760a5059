#pragma once

#include "classpace.h"
#include "crowdedwatch.h"
#include "edithistory.h"
#include "placetimes.h"
#include "ringpointer.h"

#include <QObject>
#include <QString>
#include <optional>

class GridTable;
class RingKeeper;
namespace platform {
class Clock;
}

// The course of the class at the ring, as the ring's list shows it: the starter in the ring (the official moves
// the pointer on and back; it follows its starter through every edit and every list of the office's), the
// class's pace that each move on measures (kept in the journal at once, so a restart keeps it), the office's
// planned times of the places, and the riders whose rounds the ring's own moves crowded. It tells the day log
// and the views what changed; when the pointer may move (a list is shown) is the station's.
class ClassCourse : public QObject
{
    Q_OBJECT

public:
    ClassCourse(const GridTable& working, RingKeeper& keeper, const platform::Clock& clock, QObject* parent = nullptr);

    const RingPointer& ring() const { return m_ring; }
    const ClassPace& pace() const { return m_pace; }
    const PlaceTimes& placeTimes() const { return m_placeTimes; }
    const CrowdedWatch& crowding() const { return m_crowded; }
    // The warning of the first rider crowded, for the status line; empty when none.
    QString crowdedWarning() const { return m_warning; }
    void setRiderDistance(int minimum) { m_crowded.setMinimum(minimum); }

    // The official moves the pointer on (the starter went in: a round of the pace) or back (the move on taken
    // back); false when it could not move.
    bool next();
    bool previous();
    // The ring's list changed: the pointer finds its starter again. `replaced`: the office's list took the
    // ring's place, and the day log hears when the starter in the ring is another one now.
    void follow(bool replaced = false);
    // Just before the office's changed list takes the ring's place: the starter in the ring then, and the
    // starters after it that the office's list may still have.
    void beforeReplace();
    // The office's list as it came in: its times of the places, and (`news`: its texts changed) its plan.
    void officeListRead(const GridTable& office, bool news);
    // The station started: the class's pace and the starter in the ring come back from the journal with the
    // class's first list (once the class is known).
    void expectJournal() { m_fromJournal = true; }
    void restoreFromJournal();
    // Another class opened: it begins with its first starter in the ring, and a pace of its own.
    void openClass();

    // The riders after an edit: a step that moved lines for the ring may have crowded some; anything else only
    // ends those that no longer stand. clearCrowded: the office's own list, where no warning of the ring's stands.
    void checkCrowded(const std::optional<EditHistory::Step>& madeByTheRing);
    void clearCrowded();

    ExpectedTimes expectedTimes() const;
    QString expectedTip(int row) const;

signals:
    void logged(const QString& line);
    // The starter in the ring is on another row of the ring's list (-1: none).
    void ringChanged(int row);
    void paceChanged();
    // The crowded riders' rows changed; the warning changed.
    void crowdedChanged();
    void warningChanged(const QString& warning);

private:
    QString starterAt(int row) const;
    void keepPace();
    void setWarning(const QString& warning);

    const GridTable& m_working;
    RingKeeper& m_keeper;
    const platform::Clock& m_clock;
    RingPointer m_ring;
    ClassPace m_pace;
    PlaceTimes m_placeTimes;
    CrowdedWatch m_crowded;
    QString m_warning;
    // The starter in the ring just before the office's list took the ring's place.
    QString m_beforeReplace;
    bool m_fromJournal = false;
};
