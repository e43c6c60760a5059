#include "sendwatch.h"

void SendWatch::sent(SentList list)
{
    m_sent = std::move(list);
    m_stallTold = false;
    m_editedSinceSend = false;
}

void SendWatch::forget()
{
    m_sent.reset();
}

SendWatch::Receipt SendWatch::officeListRead(const GridTable& office, bool merged)
{
    if (!m_sent)
        return Receipt::Nothing;
    if (takenIn(*m_sent, office)) {
        m_sent.reset();
        return Receipt::TakenIn;
    }
    // A merged list is the office's unchanged one: it has not taken the send in yet, its next list may.
    if (merged)
        return Receipt::Nothing;
    m_sent.reset();
    return Receipt::NotAsSent;
}

bool SendWatch::tellStall()
{
    if (m_stallTold)
        return false;
    m_stallTold = true;
    return true;
}
