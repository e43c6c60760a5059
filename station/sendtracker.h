#pragma once

#include "runorderloader.h"
#include "sendqueue.h"
#include "sendwatch.h"
#include "stationstatus.h"

#include <QObject>
#include <map>
#include <optional>
#include <utility>

class GridTable;
class QTimer;
namespace platform {
class Clock;
}

// The ring's sends from the press until the office takes them in. The send queue writes each send, and each
// clean-up of the class's mutation files, in the shared folder on a thread of its own, in the order they were
// made; the send watch compares the office's next lists with what was sent. The tracker keeps the send's part of
// the station's status (sending, hanging, waiting, stalled, taken in, not as sent, failed, changed after the
// send), counts the ring's edits so that an edit after a press is no part of its send, and tells the day log
// what became of every send and clean-up. What follows a written or failed send for the rest of the station
// (the ring's offered work, the buttons, a message) is the station's.
class SendTracker : public QObject
{
    Q_OBJECT

public:
    // How long a send may wait for the office before the status line warns.
    static constexpr int stallSeconds = 60;

    // `status`: the station's status, whose send part (send, sentAt, receivedAt, closing) is the tracker's.
    SendTracker(StationStatus& status, const platform::Clock& clock, QObject* parent = nullptr);

    // How long a send or clean-up is waited for before the window goes on without it; when a send is hanging.
    void setSendWait(int milliseconds) { m_sendWait = milliseconds; }
    void setHangTime(int milliseconds) { m_queue->setHangTime(milliseconds); }

    const SendQueue& queue() const { return *m_queue; }
    const SendWatch& watch() const { return m_watch; }

    // The press: the job as taken at it, and the ring's list then. Written after every send made before it; the
    // result when it was written within the send wait, else underWay.
    SendResult send(SendJob job, const GridTable& working);
    // The class's mutation files go, in the queue's turn; `occasion` says when, for the day log.
    void cleanUp(CleanUpJob job, const QString& occasion);
    // The ring edited its list: a send awaited stays awaited, else what the status said of the last send is old.
    void edited();
    // Whether the ring's list still is the one sent: the office's changed list is about to take its place.
    void beforeReplace(const GridTable& working) { m_changedBeforeReplace = m_watch.changedSince(working); }
    // The office's list just read (`office`: as it came in): is it the receipt of the send?
    void officeListRead(RunOrderLoader::ListChange change, const GridTable& office, const GridTable& working);
    // Another class: nothing of it is sent yet.
    void openClass();
    // Whether the ring's differences are all sent: the send watch's list, or a send on its way since which the
    // ring did not edit.
    bool awaiting(const GridTable& working) const;
    // The send's part of the status as the ring's list is now: changed after the send, or back to what was sent;
    // a wait that became a stall (told the day log once).
    void updateStatus(const GridTable& working);
    // The close: what is under way in the shared folder is given `milliseconds`, no more.
    void close(int milliseconds);

signals:
    void logged(const QString& line);
    // The send's part of the status changed (every second while a send is awaited).
    void statusChanged();
    void written(const SendResult& result);
    void failed(const SendResult& result);

private:
    void taskDone(const SendQueue::Done& done);
    void hangs(quint64 id, SendQueue::Kind kind);

    StationStatus& m_status;
    const platform::Clock& m_clock;
    SendQueue* m_queue = nullptr;
    SendWatch m_watch;
    // Counts the seconds of a send the office has not taken in yet.
    QTimer* m_secondTimer = nullptr;
    int m_sendWait = 0;
    // Sends handed to the queue and not written (or failed) yet.
    int m_sendsUnderWay = 0;
    std::optional<std::pair<quint64, SendResult>> m_lastSendDone;
    // The ring's edits counted, and their count at the last send's press: while it is on its way, an edit after
    // the press is no part of it.
    int m_edits = 0;
    int m_editsAtPress = 0;
    // Each clean-up under way: when it was made (for the day log) and the send of the class the office had not
    // taken in then, if any.
    std::map<quint64, std::pair<QString, QDateTime>> m_cleanUps;
    // The ring's list had changed after the last send just before the office's changed list replaced it.
    bool m_changedBeforeReplace = false;
};
