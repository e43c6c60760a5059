#include "expectedtimes.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpace.h"
#include "ringpointer.h"

#include <cstdlib>

namespace {

bool isStarter(QStringView key)
{
    return !key.isEmpty() && !isPauseKey(key);
}

QString clockText(const QDateTime& at)
{
    return at.toString(QStringLiteral("HH:mm"));
}

} // namespace

ExpectedTimes::ExpectedTimes(
    const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const QDateTime& now)
    : m_grid(grid)
    , m_plan(plan)
    , m_row(ringRow)
{
    const std::optional<int> round = pace.expectedRound(plan.interval);
    if (!RingPointer::rides(grid, ringRow) || !round || *round <= 0)
        return;
    m_valid = true;
    m_round = *round;
    QDateTime began;
    if (const std::optional<QDateTime> last = pace.lastMoveOn()) {
        began = *last;
    } else {
        // The class has not begun: its first starter goes at its planned time, or now when that is past.
        began = now;
        if (const std::optional<int> planned = plannedSeconds(grid.textView(ringRow, column::Time))) {
            const QDateTime at(now.date(), QTime::fromMSecsSinceStartOfDay(*planned * 1000));
            if (at > now)
                began = at;
        }
    }
    m_next = std::max(now, began.addSecs(m_round));
}

std::optional<QDateTime> ExpectedTimes::at(int row)
{
    if (!m_valid || row <= m_row || row >= m_grid.rows())
        return std::nullopt;
    for (int r = m_row + 1; r < row; ++r) {
        const QStringView key = m_grid.textView(r, column::Key);
        if (isPauseKey(key))
            m_next = m_next.addSecs(m_plan.pauseLength(r));
        else if (RingPointer::rides(m_grid, r))
            m_next = m_next.addSecs(m_round);
    }
    m_row = row;
    const QStringView key = m_grid.textView(row, column::Key);
    if (isPauseKey(key)) {
        m_next = m_next.addSecs(m_plan.pauseLength(row));
        return std::nullopt;
    }
    if (!RingPointer::rides(m_grid, row))
        return std::nullopt;
    const QDateTime goes = m_next;
    m_next = m_next.addSecs(m_round);
    return goes;
}

std::optional<QDateTime> ExpectedTimes::end()
{
    if (!m_valid)
        return std::nullopt;
    for (int r = m_row + 1; r < m_grid.rows(); ++r)
        at(r);
    return m_next;
}

QString expectedText(QStringView planned, const std::optional<QDateTime>& expected)
{
    if (!expected || !expected->isValid())
        return QString();
    if (const std::optional<int> seconds = plannedSeconds(planned)) {
        const QDateTime plannedAt(expected->date(), QTime::fromMSecsSinceStartOfDay(*seconds * 1000));
        if (std::abs(plannedAt.secsTo(*expected)) < ExpectedTimes::shownFrom)
            return QString();
    }
    return QStringLiteral("ca. ") + clockText(*expected);
}

ClassProgress classProgress(
    const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const QDateTime& now)
{
    ClassProgress progress;
    const bool inRing = RingPointer::rides(grid, ringRow);
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QStringView key = grid.textView(r, column::Key);
        if (!isStarter(key))
            continue;
        ++progress.total;
        // Before the one in the ring, or marked not started: gone. With none in the ring, the class is over.
        if (!inRing || r < ringRow || grid.textView(r, column::Mark) == notStartedMark)
            ++progress.ridden;
    }
    if (inRing && pace.hasOwnPace()) {
        ExpectedTimes times(grid, ringRow, plan, pace, now);
        progress.end = times.end();
    }
    return progress;
}

QString progressText(const ClassProgress& progress)
{
    if (progress.total == 0)
        return QString();
    QString text = QStringLiteral("%1 van %2 gereden").arg(progress.ridden).arg(progress.total);
    if (progress.end)
        text += QStringLiteral(" · einde ca. ") + clockText(*progress.end);
    return text;
}
