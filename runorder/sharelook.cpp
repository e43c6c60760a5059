#include "sharelook.h"

#include <QFileInfo>

ShareLook::Result ShareLook::look(const QString& folder, const QString& pattern, QDeadlineTimer deadline)
{
    const QString key = folder + u'\n' + pattern;
    if (m_pending && m_pendingFor != key)
        forget();
    // A look an earlier check started and the share still holds: not waited for again, so that a check while
    // the share is slow costs the window nothing.
    if (m_pending && !m_files.done(*m_pending))
        return waiting();
    if (!m_pending) {
        platform::FileSystemWorker::Call<Found> call = m_files.start<Found>([folder, pattern] {
            Found found;
            found.match = platform::firstMatchLooked(folder, pattern);
            if (!found.match)
                found.folderExists = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).isDir();
            return found;
        });
        // Refused: the worker is still in an earlier call of the check (a read, a reset) that the share holds.
        if (!call.valid())
            return waiting();
        m_pending = std::move(call);
        m_pendingFor = key;
        if (!m_waitingSince.isValid())
            m_waitingSince.start();
    }
    std::optional<Found> found = m_files.wait(*m_pending, deadline);
    if (!found)
        return waiting();
    m_pending.reset();
    m_waitingSince.invalidate();
    Result result;
    result.outcome = Outcome::Answered;
    result.found = std::move(*found);
    return result;
}

ShareLook::Result ShareLook::waiting()
{
    if (!m_waitingSince.isValid())
        m_waitingSince.start();
    Result result;
    result.waitedMs = m_waitingSince.elapsed();
    result.outcome = result.waitedMs >= m_goneTime ? Outcome::Gone : Outcome::Waiting;
    return result;
}

void ShareLook::forget()
{
    // The call itself cannot be taken back; its answer is simply never collected. The time the share has kept
    // the station waiting stays: the new file lies on the same share more often than not.
    m_pending.reset();
    m_pendingFor.clear();
}
