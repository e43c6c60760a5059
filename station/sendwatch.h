#pragma once

#include "sendreceipt.h"

#include <QDateTime>
#include <optional>

class GridTable;

// The watch on the ring's last send: from the moment its files are written until the office's own published
// list shows it taken in, or shows another list (not taken in as sent), or another class is opened. Meanwhile
// it tells whether the ring's list is still the one sent (waiting) or was changed after the send (an edit, an
// undo or a redo): then the files in the shared folder no longer hold what the ring has, and only a new send
// puts that right. Once a minute has passed without the office taking the send in, it stalls (told once per
// send, for the day log).
class SendWatch
{
public:
    // What the office's list just read says of the send watched.
    enum class Receipt {
        Nothing, // no send watched, or the office has not taken it in yet
        TakenIn, // the office's list holds the send, and the ring's list is still what was sent
        TakenInButChanged, // the office's list holds the send, but the ring changed its list after it
        NotAsSent,
    };

    // A send of the ring's list `working` was written at `at`.
    void sent(const GridTable& working, const QDateTime& at);
    // A send of `list`, taken from the ring's list at the press, was written (the ring's list may have changed
    // since: the next look compares it).
    void sent(SentList list);
    // A send failed, or another class was opened: nothing is watched.
    void forget();

    // The office's list was read: `office` holds it, and `merged` says it was merged into the ring's (an
    // unchanged list that may still take the send in later) rather than replacing or rebuilding it;
    // `ringChanged` whether the ring's own list (before a replace took its place) was changed after the send.
    // A receipt other than Nothing ends the watch.
    Receipt officeListRead(const GridTable& office, bool merged, bool ringChanged);

    bool isWatching() const { return m_sent.has_value(); }
    QDateTime sentAt() const { return m_sent ? m_sent->at : QDateTime(); }
    // A send is watched and the ring's list is no longer the one sent: its order or its marks changed after it.
    // Looked at again only when the list's texts changed since the last look.
    bool changedSince(const GridTable& working) const;
    // The ring's differences from the office's list are the sent ones: a send is watched and the ring's list is
    // still the one sent.
    bool awaiting(const GridTable& working) const { return m_sent.has_value() && !changedSince(working); }
    // The send watched has waited `seconds` or more at `now`.
    bool stalled(const QDateTime& now, int seconds) const { return m_sent && m_sent->at.secsTo(now) >= seconds; }
    // True the first time it is asked for a send, so its stall is logged once.
    bool tellStall();

private:
    std::optional<SentList> m_sent;
    bool m_stallTold = false;
    // The last look at the ring's list: its text version then, and whether it differed from the send.
    mutable quint64 m_lookedAtVersion = 0;
    mutable const GridTable* m_lookedAt = nullptr;
    mutable bool m_changed = false;
};
