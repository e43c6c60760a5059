#include "classpace.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpointer.h"

void ClassPace::clear()
{
    m_pace.clear();
    m_plan = ClassPlan();
}

void ClassPace::listRead(const GridTable& office)
{
    m_plan = classPlanOf(office);
}

void ClassPace::movedOn(const GridTable& grid, int previousRow, int ringRow, const QDateTime& now)
{
    bool overPause = false;
    for (int r = std::max(previousRow + 1, grid.fixedRows()); r < ringRow && r < grid.rows(); ++r)
        overPause = overPause || isPauseKey(grid.textView(r, column::Key));
    m_pace.movedOn(now, grid.textMatrix(ringRow, column::Key), overPause);
}

void ClassPace::movedBack(const QString& fromKey)
{
    m_pace.movedBack(fromKey);
}

bool ClassPace::restore(const std::optional<RingPace>& kept, const GridTable& grid, RingPointer& ring)
{
    if (!kept)
        return false;
    m_pace = *kept;
    // The starter the ring had when the station stopped, when the list still has it.
    if (const std::optional<RingPace::MoveOn> last = m_pace.lastMove())
        ring.pointTo(grid, last->key);
    return true;
}

ExpectedTimes ClassPace::expectedTimes(const GridTable& grid, int ringRow, const QDateTime& now) const
{
    return ExpectedTimes(grid, ringRow, m_plan, m_pace, now);
}

ClassProgress ClassPace::progress(const GridTable& grid, int ringRow, const QDateTime& now) const
{
    return m_index.progress(grid, ringRow, m_plan, m_pace, expectedTimes(grid, ringRow, now));
}

QString ClassPace::expectedTip(const GridTable& grid, int ringRow, int row, const QDateTime& now) const
{
    ExpectedTimes times = expectedTimes(grid, ringRow, now);
    const QString text = expectedText(grid.textView(row, column::Time), times.secondsAt(row));
    if (text.isEmpty())
        return QString();
    return QStringLiteral("Verwacht %1 (een schatting naar het tempo in de ring)").arg(text);
}
