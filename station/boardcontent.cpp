#include "boardcontent.h"

#include "columns.h"
#include "gridtable.h"
#include "placetimes.h"
#include "ringpointer.h"

namespace {

BoardStarter starterAt(const GridTable& grid, int row, const PlaceTimes* places)
{
    return { grid.textMatrix(row, column::Number).trimmed(), grid.textMatrix(row, column::Rider).trimmed(),
        grid.textMatrix(row, column::Horse).trimmed(),
        places ? places->at(grid, row) : grid.textMatrix(row, column::Time).trimmed(), QString() };
}

} // namespace

QString pauseBand(const QString& text)
{
    const QString band = QStringLiteral("Pauze");
    const QString own = text.trimmed();
    if (own.isEmpty())
        return band;
    if (own.startsWith(band, Qt::CaseInsensitive))
        return own;
    return band + QStringLiteral(" – ") + own;
}

BoardContent boardContent(const GridTable& grid, int ringRow, const PlaceTimes* places, ExpectedTimes* times)
{
    // The walk of the expected times goes down with the rows the board reads, never further.
    auto withTimes = [&grid, places, times](int row) {
        BoardStarter starter = starterAt(grid, row, places);
        if (times)
            starter.expected = expectedText(starter.time, times->secondsAt(row));
        return starter;
    };
    BoardContent content;
    if (!RingPointer::rides(grid, ringRow))
        return content;
    content.top[0] = starterAt(grid, ringRow, places);
    size_t top = 1;
    int starters = 0;
    for (int r = ringRow + 1; r < grid.rows(); ++r) {
        const QStringView key = grid.textView(r, column::Key);
        if (key.isEmpty())
            continue; // an empty line is nobody
        if (top < content.top.size() && RingPointer::rides(grid, r)) {
            content.top[top++] = withTimes(r);
            continue;
        }
        const bool room = starters < BoardContent::followingStarters
            && int(content.following.size()) < BoardContent::maxFollowingLines;
        if (room) {
            BoardLine line;
            line.starter = withTimes(r);
            if (isPauseKey(key)) {
                line.kind = BoardLine::Kind::Pause;
                line.starter = { QString(), pauseBand(grid.textMatrix(r, column::Rider)), QString(),
                    places ? places->at(grid, r) : grid.textMatrix(r, column::Time).trimmed(), QString() };
            } else if (!RingPointer::rides(grid, r)) {
                line.kind = BoardLine::Kind::NotStarted;
            } else {
                ++starters;
            }
            content.following.push_back(line);
        } else if (top == content.top.size()) {
            break;
        }
    }
    return content;
}
