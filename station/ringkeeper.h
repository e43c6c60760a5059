#pragma once

#include "ringjournal.h"
#include "ringwork.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

class AppState;
class GridTable;
namespace platform {
class Clock;
}

// The keeper of the ring's unsent work: it writes the work to the journal a moment after every edit (a held
// move writes once per run, and no edit waits for the disk), looks at the journal once a class's list is read
// (to restore the work, or to offer it when the office changed the list meanwhile), and keeps the work the
// office's changed list is about to replace as an offer ("Opnieuw toepassen") until it is taken or dropped.
// While work is offered the journal holds that work, not the ring's list. It changes no list itself: putting
// work back is the station's step, so it lands in the history like any edit.
class RingKeeper
{
public:
    RingKeeper(const QString& folder, const AppState& state, const GridTable& working, const GridTable& snapshot,
        const platform::Clock& clock);
    ~RingKeeper();
    RingKeeper(const RingKeeper&) = delete;
    RingKeeper& operator=(const RingKeeper&) = delete;

    const RingJournal& journal() const { return m_journal; }
    const QTimer& timer() const { return m_timer; }

    // The ring's list changed (an edit, a read with news): its work is written a moment later.
    void saveSoon();
    // A write still to come is made now (before another class, the office's list or the close takes over).
    void flush();
    // The close: a write still to come is made now, and nothing is written after it.
    void stop();

    // A class was opened or started: its journal is looked at once its list is read.
    void expectJournal() { m_journalExpected = true; }
    // What the journal held for the class whose list was just read whole, the first time after expectJournal.
    struct Found
    {
        enum class What {
            Nothing, // no work kept
            OtherClass, // work of another class (the office gave the file to it): removed
            Offered, // made on another list of the office's: kept as the offer
            Restore, // made on this very list: to be put back (`work`)
        };
        What what = What::Nothing;
        std::optional<RingWork> work;
        QString setAside; // a damaged journal moved aside to this name
        // The day log's lines for what was found; work restored is told with its put-back.
        QStringList told() const;
    };
    std::optional<Found> lookAtJournal();

    // The office's changed list (`incoming`) is about to replace the ring's: the ring's work becomes the offer,
    // unless the new list already holds it (as it does when the office took the ring's send in).
    void keepBeforeReplace(const GridTable& incoming);
    const std::optional<RingWork>& offer() const { return m_offer; }
    // The offer, taken to be put back; none is left.
    std::optional<RingWork> takeOffer();
    // The offer goes without being put back; false when there was none.
    bool dropOffer();
    // Another class is opened: nothing offered stays, and its journal is looked at once its list is read.
    void openClass();
    // The ring's pace in the class followed, kept beside its work at every move on and read back after a
    // restart (of today, and of the same class only). False when it could not be written.
    bool savePace(const RingPace& pace);
    std::optional<RingPace> loadPace() const;

private:
    // The ring's work as it differs from the office's list now, for the class followed.
    RingWork currentWork() const;
    void save();

    RingJournal m_journal;
    const AppState& m_state;
    const GridTable& m_working;
    const GridTable& m_snapshot;
    const platform::Clock& m_clock;
    QTimer m_timer;
    std::optional<RingWork> m_offer;
    bool m_journalExpected = false;
    bool m_stopped = false;
};
