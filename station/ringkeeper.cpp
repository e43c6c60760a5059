#include "ringkeeper.h"

#include "appstate.h"
#include "clock.h"
#include "daylogtexts.h"
#include "diagnostics.h"
#include "sendreceipt.h"

#include <QDir>

namespace {

// How long the journal waits after an edit before it is written: a held move writes once per run of
// moves, not once per line, and the edit itself never waits for the disk.
constexpr int journalDelay = 50;

} // namespace

RingKeeper::RingKeeper(const QString& folder, const AppState& state, const GridTable& working,
    const GridTable& snapshot, const platform::Clock& clock)
    : m_journal(folder)
    , m_state(state)
    , m_working(working)
    , m_snapshot(snapshot)
    , m_clock(clock)
{
    m_timer.setObjectName(QStringLiteral("journalTimer"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(journalDelay);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { save(); });
}

RingKeeper::~RingKeeper()
{
    // An edit whose journal was still to be written: written now, so that even a station taken down without
    // its close keeps the official's work.
    flush();
}

void RingKeeper::saveSoon()
{
    if (!m_stopped)
        m_timer.start();
}

void RingKeeper::flush()
{
    if (m_timer.isActive())
        save();
}

void RingKeeper::stop()
{
    flush();
    m_timer.stop();
    m_stopped = true;
}

RingWork RingKeeper::currentWork() const
{
    RingWork work = ringWorkOf(m_working, m_snapshot);
    work.bestandspad = m_state.bestandspad();
    work.rid = m_state.rid;
    work.saved = m_clock.now();
    return work;
}

void RingKeeper::save()
{
    m_timer.stop();
    const QString path = m_state.bestandspad();
    // Nothing to keep without a class whose list was read, and the work the office's new list replaced
    // stays on disk while it is offered.
    if (path.isEmpty() || !m_state.klasbekend || m_offer)
        return;
    const RingWork work = currentWork();
    if (work.isEmpty()) {
        m_journal.remove(path);
        return;
    }
    if (!m_journal.save(work))
        qCWarning(lcFollow).noquote() << "journal: cannot keep the ring's work in" << m_journal.fileFor(path) << "-"
                                      << m_journal.error();
}

std::optional<RingKeeper::Found> RingKeeper::lookAtJournal()
{
    if (!m_journalExpected)
        return std::nullopt;
    m_journalExpected = false;
    const QString path = m_state.bestandspad();
    RingJournal::Loaded loaded = m_journal.load(path);
    Found found;
    found.setAside = loaded.setAside;
    if (!loaded.work || loaded.work->isEmpty())
        return found;
    if (loaded.work->rid != m_state.rid) {
        // The office gave the file to another class meanwhile: this work is of no use to it.
        found.what = Found::What::OtherClass;
        found.work = std::move(loaded.work);
        m_journal.remove(path);
        return found;
    }
    if (loaded.work->officeList != officeListDigest(m_snapshot)) {
        found.what = Found::What::Offered;
        m_offer = loaded.work;
    } else {
        found.what = Found::What::Restore;
    }
    found.work = std::move(loaded.work);
    return found;
}

QStringList RingKeeper::Found::told() const
{
    QStringList lines;
    if (!setAside.isEmpty())
        lines << daylogtext::journalSetAside(QDir::toNativeSeparators(setAside));
    if (what == What::OtherClass)
        lines << daylogtext::workOfOtherClass(work->rid);
    else if (what == What::Offered)
        lines << daylogtext::workOffered(work->saved);
    return lines;
}

void RingKeeper::keepBeforeReplace(const GridTable& incoming)
{
    if (!m_state.klasbekend || !hasRingWork(m_working, m_snapshot))
        return;
    RingWork work = currentWork();
    if (work.isEmpty() || takenIn(sentListOf(m_working, m_clock.now()), incoming))
        return;
    flush();
    m_offer = std::move(work);
}

std::optional<RingWork> RingKeeper::takeOffer()
{
    std::optional<RingWork> offer = std::move(m_offer);
    m_offer.reset();
    return offer;
}

bool RingKeeper::dropOffer()
{
    const bool had = m_offer.has_value();
    m_offer.reset();
    return had;
}

void RingKeeper::openClass()
{
    m_offer.reset();
    m_journalExpected = true;
}

bool RingKeeper::savePace(const RingPace& pace)
{
    const QString path = m_state.bestandspad();
    if (path.isEmpty() || !m_state.klasbekend)
        return true;
    return m_journal.savePace(path, m_state.rid, m_clock.now().date(), pace);
}

std::optional<RingPace> RingKeeper::loadPace() const
{
    const QString path = m_state.bestandspad();
    if (path.isEmpty() || !m_state.klasbekend)
        return std::nullopt;
    return m_journal.loadPace(path, m_state.rid, m_clock.now().date());
}
