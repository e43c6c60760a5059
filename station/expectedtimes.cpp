#include "expectedtimes.h"

#include "columns.h"
#include "gridtable.h"
#include "ringpace.h"
#include "ringpointer.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr qint64 secondsPerDay = 24 * 3600;

bool isStarter(QStringView key)
{
    return !key.isEmpty() && !isPauseKey(key);
}

// "10:52" of a time of day in seconds (past midnight it goes round the clock).
QString clockText(qint64 seconds)
{
    const qint64 minutes = (seconds % secondsPerDay + secondsPerDay) % secondsPerDay / 60;
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QChar(u'0')).arg(minutes % 60, 2, 10, QChar(u'0'));
}

} // namespace

ExpectedTimes::ExpectedTimes(
    const GridTable& grid, int ringRow, const ClassPlan& plan, const RingPace& pace, const QDateTime& now)
    : m_grid(grid)
    , m_plan(plan)
    , m_day(now.date())
    , m_row(ringRow)
{
    const std::optional<int> round = pace.expectedRound(plan.interval);
    if (!RingPointer::rides(grid, ringRow) || !round || *round <= 0 || !now.isValid())
        return;
    m_valid = true;
    m_round = *round;
    const qint64 nowSeconds = now.time().msecsSinceStartOfDay() / 1000;
    qint64 began = nowSeconds;
    if (const std::optional<QDateTime> last = pace.lastMoveOn()) {
        began = nowSeconds - last->secsTo(now);
    } else if (const std::optional<int> planned = plannedSeconds(grid.textView(ringRow, column::Time))) {
        // The class has not begun: its first starter goes at its planned time, or now when that is past.
        began = std::max<qint64>(nowSeconds, *planned);
    }
    m_next = std::max(nowSeconds, began + m_round);
    m_ringEnds = m_next;
}

std::optional<qint64> ExpectedTimes::secondsAt(int row)
{
    if (!m_valid || row <= m_row || row >= m_grid.rows())
        return std::nullopt;
    for (int r = m_row + 1; r < row; ++r) {
        if (isPauseKey(m_grid.textView(r, column::Key)))
            m_next += m_plan.pauseLength(r);
        else if (RingPointer::rides(m_grid, r))
            m_next += m_round;
    }
    m_row = row;
    if (isPauseKey(m_grid.textView(row, column::Key))) {
        m_next += m_plan.pauseLength(row);
        return std::nullopt;
    }
    if (!RingPointer::rides(m_grid, row))
        return std::nullopt;
    const qint64 goes = m_next;
    m_next += m_round;
    return goes;
}

std::optional<QDateTime> ExpectedTimes::at(int row)
{
    const std::optional<qint64> seconds = secondsAt(row);
    if (!seconds)
        return std::nullopt;
    return dateTime(*seconds);
}

std::optional<QDateTime> ExpectedTimes::end()
{
    if (!m_valid)
        return std::nullopt;
    for (int r = m_row + 1; r < m_grid.rows(); ++r) {
        if (isPauseKey(m_grid.textView(r, column::Key)))
            m_next += m_plan.pauseLength(r);
        else if (RingPointer::rides(m_grid, r))
            m_next += m_round;
    }
    m_row = m_grid.rows();
    return dateTime(m_next);
}

QDateTime ExpectedTimes::dateTime(qint64 seconds) const
{
    return QDateTime(
        m_day.addDays(seconds / secondsPerDay), QTime::fromMSecsSinceStartOfDay(int(seconds % secondsPerDay) * 1000));
}

QString expectedText(QStringView planned, const std::optional<qint64>& expected)
{
    if (!expected)
        return QString();
    if (const std::optional<int> seconds = plannedSeconds(planned)) {
        if (std::abs(*expected - *seconds) < ExpectedTimes::shownFrom)
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
        text += QStringLiteral(" · einde ca. ") + progress.end->toString(QStringLiteral("HH:mm"));
    return text;
}
