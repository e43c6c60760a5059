#include "progressindex.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpace.h"
#include "ringpointer.h"

#include <algorithm>

void ProgressIndex::count(const GridTable& grid, const ClassPlan& plan)
{
    m_grid = &grid;
    m_version = grid.textVersion();
    m_plan = plan;
    m_counted = true;
    const size_t size = size_t(std::max(grid.rows(), 0)) + 1;
    m_starters.assign(size, 0);
    m_notStarted.assign(size, 0);
    m_riding.assign(size, 0);
    m_pauseSeconds.assign(size, 0);
    for (int r = 0; r < grid.rows(); ++r) {
        const size_t i = size_t(r);
        m_starters[i + 1] = m_starters[i];
        m_notStarted[i + 1] = m_notStarted[i];
        m_riding[i + 1] = m_riding[i];
        m_pauseSeconds[i + 1] = m_pauseSeconds[i];
        if (r < grid.fixedRows())
            continue;
        const QStringView key = grid.textView(r, column::Key);
        if (isPauseKey(key)) {
            m_pauseSeconds[i + 1] += plan.pauseLength(r);
        } else if (!key.isEmpty()) {
            ++m_starters[i + 1];
            if (grid.textView(r, column::Mark) == notStartedMark)
                ++m_notStarted[i + 1];
            else
                ++m_riding[i + 1];
        }
    }
}

ClassProgress ProgressIndex::progress(
    const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const ExpectedTimes& times)
{
    if (!m_counted || m_grid != &grid || m_version != grid.textVersion() || size_t(grid.rows()) + 1 != m_starters.size()
        || !(m_plan == plan))
        count(grid, plan);
    ClassProgress progress;
    const size_t rows = size_t(grid.rows());
    progress.total = m_starters[rows];
    if (!RingPointer::rides(grid, ringRow)) {
        progress.ridden = progress.total;
        return progress;
    }
    const size_t ring = size_t(ringRow);
    progress.ridden = m_starters[ring] + (m_notStarted[rows] - m_notStarted[ring]);
    if (!pace.hasOwnPace())
        return progress;
    if (!times.isValid())
        return progress;
    const qint64 ridingAfter = m_riding[rows] - m_riding[ring + 1];
    const qint64 pausesAfter = m_pauseSeconds[rows] - m_pauseSeconds[ring + 1];
    progress.end = times.dateTime(times.ringRoundEnds() + ridingAfter * times.round() + pausesAfter);
    return progress;
}
