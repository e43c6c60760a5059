#pragma once

#include "sendreceipt.h"

#include <QDateTime>
#include <optional>

class GridTable;

// The watch on the ring's last send: from the moment its files are written until the office's own published
// list shows it taken in, or shows another list (not taken in as sent), or another class is opened. Meanwhile
// it tells whether the differences the ring's list has are the sent ones (waiting) or new edits, and, once a
// minute has passed without the office taking the send in, that it stalls (once per send, for the day log).
class SendWatch
{
public:
    // What the office's list just read says of the send watched.
    enum class Receipt {
        Nothing, // no send watched, or the office has not taken it in yet
        TakenIn,
        NotAsSent,
    };

    // A send was written at `list.at`.
    void sent(SentList list);
    // A send failed, or another class was opened: nothing is watched.
    void forget();
    // The ring changed its list after the send.
    void edited() { m_editedSinceSend = true; }

    // The office's list was read: `office` holds it, and `merged` says it was merged into the ring's (an
    // unchanged list that may still take the send in later) rather than replacing or rebuilding it. A receipt
    // other than Nothing ends the watch.
    Receipt officeListRead(const GridTable& office, bool merged);

    bool isWatching() const { return m_sent.has_value(); }
    QDateTime sentAt() const { return m_sent ? m_sent->at : QDateTime(); }
    // The ring's differences from the office's list are the sent ones: a send is watched and the ring has not
    // changed its list since.
    bool awaiting() const { return m_sent.has_value() && !m_editedSinceSend; }
    // The send watched has waited `seconds` or more at `now`.
    bool stalled(const QDateTime& now, int seconds) const { return m_sent && m_sent->at.secsTo(now) >= seconds; }
    // True the first time it is asked for a send, so its stall is logged once.
    bool tellStall();

private:
    std::optional<SentList> m_sent;
    bool m_stallTold = false;
    bool m_editedSinceSend = false;
};
