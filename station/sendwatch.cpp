#include "sendwatch.h"

#include "gridtable.h"

#include <utility>

namespace {

bool sameList(const SentList& a, const SentList& b)
{
    return a.order == b.order && a.notStarted == b.notStarted;
}

} // namespace

void SendWatch::sent(const GridTable& working, const QDateTime& at)
{
    m_sent = sentListOf(working, at);
    m_stallTold = false;
    m_lookedAt = &working;
    m_lookedAtVersion = working.textVersion();
    m_changed = false;
}

void SendWatch::sent(SentList list)
{
    m_sent = std::move(list);
    m_stallTold = false;
    m_lookedAt = nullptr;
    m_changed = false;
}

void SendWatch::forget()
{
    m_sent.reset();
    m_lookedAt = nullptr;
}

bool SendWatch::changedSince(const GridTable& working) const
{
    if (!m_sent)
        return false;
    if (m_lookedAt != &working || m_lookedAtVersion != working.textVersion()) {
        m_changed = !sameList(sentListOf(working, m_sent->at), *m_sent);
        m_lookedAt = &working;
        m_lookedAtVersion = working.textVersion();
    }
    return m_changed;
}

SendWatch::Receipt SendWatch::officeListRead(const GridTable& office, bool merged, bool ringChanged)
{
    if (!m_sent)
        return Receipt::Nothing;
    if (takenIn(*m_sent, office)) {
        forget();
        return ringChanged ? Receipt::TakenInButChanged : Receipt::TakenIn;
    }
    // A merged list is the office's unchanged one: it has not taken the send in yet, its next list may.
    if (merged)
        return Receipt::Nothing;
    forget();
    return Receipt::NotAsSent;
}

bool SendWatch::tellStall()
{
    if (m_stallTold)
        return false;
    m_stallTold = true;
    return true;
}
