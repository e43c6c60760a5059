#include "sendtracker.h"

#include "clock.h"
#include "daylogtexts.h"
#include "sendreceipt.h"

#include <QTimer>

SendTracker::SendTracker(StationStatus& status, const platform::Clock& clock, QObject* parent)
    : QObject(parent)
    , m_status(status)
    , m_clock(clock)
    , m_queue(new SendQueue(this))
    , m_secondTimer(new QTimer(this))
{
    m_queue->setObjectName(QStringLiteral("sendQueue"));
    connect(m_queue, &SendQueue::finished, this, &SendTracker::taskDone);
    connect(m_queue, &SendQueue::hanging, this, &SendTracker::hangs);
    m_secondTimer->setObjectName(QStringLiteral("statusTimer"));
    m_secondTimer->setInterval(1000);
    connect(m_secondTimer, &QTimer::timeout, this, &SendTracker::statusChanged);
}

SendResult SendTracker::send(SendJob job, const GridTable& working)
{
    const QDateTime at = job.at;
    m_status.send = StationStatus::Send::Sending;
    m_status.sentAt = at;
    m_status.receivedAt = QDateTime();
    ++m_sendsUnderWay;
    m_editsAtPress = m_edits;
    const quint64 id = m_queue->send(std::move(job), sentListOf(working, at));
    m_lastSendDone.reset();
    emit statusChanged();
    m_queue->waitUntilIdle(m_sendWait);
    if (m_lastSendDone && m_lastSendDone->first == id)
        return m_lastSendDone->second;
    SendResult underWay;
    underWay.underWay = true;
    return underWay;
}

void SendTracker::cleanUp(CleanUpJob job, const QString& occasion)
{
    // A send the office has not taken in yet goes with the files: the day log says so, with when it was sent.
    const QDateTime untaken = m_watch.isWatching() ? m_watch.sentAt() : QDateTime();
    const quint64 id = m_queue->cleanUp(std::move(job));
    m_cleanUps[id] = { occasion, untaken };
    // A share that answers at once is cleaned up before the flow goes on; a slow one in the queue's own time.
    m_queue->waitUntilIdle(m_sendWait);
}

void SendTracker::taskDone(const SendQueue::Done& done)
{
    if (done.kind == SendQueue::Kind::CleanUp) {
        const auto [occasion, untaken] = m_cleanUps[done.id];
        m_cleanUps.erase(done.id);
        if (!done.removed.isEmpty())
            emit logged(daylogtext::removed(occasion, done.removed, untaken));
        return;
    }
    --m_sendsUnderWay;
    const SendResult& result = done.sent;
    const QString late = done.wasHanging ? daylogtext::afterHanging(done.list.at.secsTo(m_clock.now())) : QString();
    if (result.written) {
        // The list as it was at the press: an edit made after it is not in this send, also when the send took its
        // time to be written, and the watch tells it as a change after the send.
        m_watch.sent(done.list);
        // A newer send still on its way keeps the status line on that one.
        if (m_sendsUnderWay == 0) {
            m_status.send = StationStatus::Send::Waiting;
            m_status.sentAt = done.list.at;
            m_status.receivedAt = QDateTime();
            m_secondTimer->start();
        }
        emit logged(daylogtext::sent(result.files) + late);
        emit written(result);
    } else if (!result.skipped) {
        m_watch.forget();
        m_secondTimer->stop();
        m_status.send = StationStatus::Send::Failed;
        m_status.sentAt = done.list.at;
        emit logged(daylogtext::sendFailed(result) + late);
        emit failed(result);
    }
    m_lastSendDone = std::make_pair(done.id, result);
    emit statusChanged();
}

void SendTracker::hangs(quint64, SendQueue::Kind kind)
{
    if (kind != SendQueue::Kind::Send) {
        emit logged(daylogtext::cleanUpHangs());
        // The sends after it wait with it.
        if (m_sendsUnderWay == 0)
            return;
    }
    emit logged(daylogtext::sendHangs(m_queue->hangTime() / 1000.0, m_status.sentAt));
    m_status.send = StationStatus::Send::Hanging;
    emit statusChanged();
}

void SendTracker::edited()
{
    // A send awaited stays awaited, and one on its way to the share stays told as such.
    if (!m_watch.isWatching() && m_status.send != StationStatus::Send::Sending
        && m_status.send != StationStatus::Send::Hanging)
        m_status.send = StationStatus::Send::None;
    ++m_edits;
}

void SendTracker::officeListRead(RunOrderLoader::ListChange change, const GridTable& office, const GridTable& working)
{
    using ListChange = RunOrderLoader::ListChange;
    if (!m_watch.isWatching() || change == ListChange::None)
        return;
    const QDateTime sentAt = m_watch.sentAt();
    // A replaced list: the ring's own was looked at just before it went.
    const bool ringChanged = change == ListChange::Replaced ? m_changedBeforeReplace : m_watch.changedSince(working);
    switch (m_watch.officeListRead(office, change == ListChange::Merged, ringChanged)) {
    case SendWatch::Receipt::Nothing:
        return;
    case SendWatch::Receipt::TakenIn:
        m_status.send = StationStatus::Send::TakenIn;
        emit logged(daylogtext::takenIn(sentAt));
        break;
    case SendWatch::Receipt::TakenInButChanged:
        // What the office took in is no longer what the ring has: that is no receipt of the ring's list.
        m_status.send = StationStatus::Send::ChangedAfterSend;
        emit logged(daylogtext::takenInButChanged(sentAt));
        break;
    case SendWatch::Receipt::NotAsSent:
        m_status.send = StationStatus::Send::NotAsSent;
        emit logged(daylogtext::notAsSent(sentAt));
        break;
    }
    m_status.receivedAt = m_clock.now();
    m_secondTimer->stop();
}

void SendTracker::openClass()
{
    m_watch.forget();
    m_secondTimer->stop();
}

bool SendTracker::awaiting(const GridTable& working) const
{
    return m_watch.awaiting(working) || (m_sendsUnderWay > 0 && m_edits == m_editsAtPress);
}

void SendTracker::updateStatus(const GridTable& working)
{
    using Send = StationStatus::Send;
    // The ring changed its list after the send: the files in the shared folder no longer hold what it has.
    // Changed back to what was sent (an undo and its redo), it waits for the office again.
    const bool watched = m_watch.isWatching()
        && (m_status.send == Send::Waiting || m_status.send == Send::Stalled || m_status.send == Send::ChangedAfterSend);
    if (watched)
        m_status.send = m_watch.changedSince(working) ? Send::ChangedAfterSend : Send::Waiting;
    if (m_status.send == Send::Waiting && m_watch.stalled(m_clock.now(), stallSeconds)) {
        m_status.send = Send::Stalled;
        if (m_watch.tellStall())
            emit logged(daylogtext::stalled(stallSeconds, m_watch.sentAt()));
    }
}

void SendTracker::close(int milliseconds)
{
    m_secondTimer->stop();
    // A share that does not answer must not keep the station from closing. The status line says why the close
    // waits.
    if (m_queue->waitUntilIdle(0))
        return;
    m_status.closing = true;
    emit statusChanged();
    if (!m_queue->waitUntilIdle(milliseconds))
        emit logged(daylogtext::closedWhileHanging(milliseconds / 1000, m_sendsUnderWay > 0));
}
