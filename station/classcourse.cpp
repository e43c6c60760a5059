#include "classcourse.h"

#include "clock.h"
#include "daylogtexts.h"
#include "diagnostics.h"
#include "gridtable.h"
#include "ringkeeper.h"

ClassCourse::ClassCourse(const GridTable& working, RingKeeper& keeper, const platform::Clock& clock, QObject* parent)
    : QObject(parent)
    , m_working(working)
    , m_keeper(keeper)
    , m_clock(clock)
{
}

QString ClassCourse::starterAt(int row) const
{
    return daylogtext::starter(m_working, row);
}

void ClassCourse::keepPace()
{
    if (!m_keeper.savePace(m_pace.pace()))
        qCWarning(lcFollow).noquote() << "journal: cannot keep the ring's pace -" << m_keeper.journal().error();
    emit ringChanged(m_ring.row());
    emit paceChanged();
}

bool ClassCourse::next()
{
    const int before = m_ring.row();
    if (!m_ring.next(m_working))
        return false;
    emit logged(daylogtext::inRing(starterAt(m_ring.row())));
    // The time the starter went in is the class's pace, kept with it at once.
    m_pace.movedOn(m_working, before, m_ring.row(), m_clock.now());
    keepPace();
    return true;
}

bool ClassCourse::previous()
{
    const QString from = m_ring.key();
    if (!m_ring.previous(m_working))
        return false;
    emit logged(daylogtext::inRingBack(starterAt(m_ring.row())));
    // A step back takes the move on back: a slip of the finger leaves no round behind.
    m_pace.movedBack(from);
    keepPace();
    return true;
}

void ClassCourse::follow(bool replaced)
{
    const int before = m_ring.row();
    if (replaced)
        m_ring.replaced(m_working);
    else
        m_ring.follow(m_working);
    if (replaced && !m_beforeReplace.isEmpty()) {
        const QString now = starterAt(m_ring.row());
        if (now != m_beforeReplace)
            emit logged(daylogtext::ringMovedByOffice(now, m_beforeReplace));
        m_beforeReplace.clear();
    }
    if (m_ring.row() != before)
        emit ringChanged(m_ring.row());
}

void ClassCourse::beforeReplace()
{
    m_beforeReplace = starterAt(m_ring.row());
    // The starter in the ring stays, or the next one the office's list still has.
    m_ring.keepFollowers(m_working);
}

void ClassCourse::officeListRead(const GridTable& office, bool news)
{
    m_placeTimes.take(office);
    // The office's plan of the class: its times may have changed with the list.
    if (news)
        m_pace.listRead(office);
}

void ClassCourse::restoreFromJournal()
{
    if (!m_fromJournal)
        return;
    m_fromJournal = false;
    const int before = m_ring.row();
    if (m_pace.restore(m_keeper.loadPace(), m_working, m_ring)) {
        emit logged(daylogtext::paceRestored(int(m_pace.pace().rounds().size()), starterAt(m_ring.row())));
        emit paceChanged();
    }
    if (m_ring.row() != before)
        emit ringChanged(m_ring.row());
}

void ClassCourse::openClass()
{
    m_ring.clear();
    m_pace.clear();
    m_fromJournal = false;
    clearCrowded();
}

void ClassCourse::checkCrowded(const std::optional<EditHistory::Step>& madeByTheRing)
{
    const bool changed = madeByTheRing && madeByTheRing->movesLines()
        ? m_crowded.edited(m_working, madeByTheRing->exchanges)
        : m_crowded.recheck(m_working);
    const QString warning = m_crowded.warning(m_working);
    if (warning != m_warning && !warning.isEmpty())
        emit logged(warning);
    setWarning(warning);
    if (changed)
        emit crowdedChanged();
}

void ClassCourse::clearCrowded()
{
    setWarning(QString());
    if (m_crowded.clear())
        emit crowdedChanged();
}

void ClassCourse::setWarning(const QString& warning)
{
    if (warning == m_warning)
        return;
    m_warning = warning;
    emit warningChanged(warning);
}

ExpectedTimes ClassCourse::expectedTimes() const
{
    return m_pace.expectedTimes(m_working, m_ring.row(), m_clock.now());
}

QString ClassCourse::expectedTip(int row) const
{
    return m_pace.expectedTip(m_working, m_ring.row(), row, m_clock.now());
}
