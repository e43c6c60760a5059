#include "officechanges.h"

#include "columns.h"
#include "daylogtexts.h"
#include "gridtable.h"
#include "keyindex.h"

#include <algorithm>
#include <vector>

namespace {

// Row of each starter's key (pause lines left out); a key on more than one line, its first.
KeyIndex rowsByKey(const GridTable& grid)
{
    return KeyIndex(grid, column::Key, 1, KeyIndex::Keep::FirstLine,
        [](QStringView key) { return !isPauseKey(key) && !key.isEmpty(); });
}

} // namespace

QString starterName(const GridTable& grid, int row)
{
    if (row < 1 || row >= grid.rows())
        return QString();
    return daylogtext::starter(grid, row);
}

namespace {

// The starters of the new list that the list shown did not have.
template <typename Add>
void addAdded(OfficeChanges& changes, const GridTable& incoming, const KeyIndex& after,
    const std::vector<bool>& matched, const Add& add)
{
    for (int row = 1; row < incoming.rows(); ++row) {
        if (matched[row])
            continue;
        const QStringView key = incoming.textView(row, column::Key);
        if (isPauseKey(key) || key.isEmpty() || after.find(key) != row)
            continue;
        add(changes.added, changes.moreAdded,
            QStringLiteral("%1 op plaats %2").arg(starterName(incoming, row), incoming.textMatrix(row, column::Position)));
    }
}

} // namespace

OfficeChanges officeChanges(const GridTable& shown, const GridTable& incoming)
{
    OfficeChanges changes;
    // One index, of the new list: each line of the list shown looks itself up in it once.
    const KeyIndex after = rowsByKey(incoming);
    std::vector<bool> matched(incoming.rows(), false);
    const auto add = [](QStringList& list, int& more, const QString& text) {
        if (list.size() < OfficeChanges::namedPerPart)
            list << text;
        else
            ++more;
    };

    // The starters in both lists, in the order shown, with their rows in the new list.
    std::vector<int> shownRows;
    std::vector<int> newRows;
    shownRows.reserve(shown.rows());
    newRows.reserve(shown.rows());
    for (int row = 1; row < shown.rows(); ++row) {
        const QStringView key = shown.textView(row, column::Key);
        if (isPauseKey(key) || key.isEmpty())
            continue;
        const int there = after.find(key);
        if (there < 0) {
            add(changes.withdrawn, changes.moreWithdrawn,
                QStringLiteral("%1 van plaats %2").arg(starterName(shown, row), shown.textMatrix(row, column::Position)));
        } else if (!matched[there]) { // a key shown twice is taken at its first line
            matched[there] = true;
            shownRows.push_back(row);
            newRows.push_back(there);
        }
    }
    // A starter moved when its order among the others changed; the places a withdrawal or an addition shifts
    // are no move of the office's. The most starters that kept their order among each other stay (the longest
    // rising run of their new rows), and of runs as long the one that keeps the most starters on their own
    // place, so that of two starters that changed places the one whose place changed is the one named. A
    // Fenwick tree over the new rows gives the best run ending below each row.
    struct Best
    {
        int length = 0;
        int samePlace = 0;
        int last = -1; // index into newRows
        bool operator<(const Best& other) const
        {
            return length != other.length ? length < other.length : samePlace < other.samePlace;
        }
    };
    // Usually nobody moved (the office withdrew or added a starter, or changed a text): no run to look for.
    if (std::is_sorted(newRows.begin(), newRows.end())) {
        addAdded(changes, incoming, after, matched, add);
        return changes;
    }
    std::vector<Best> tree(incoming.rows() + 1);
    std::vector<int> previous(newRows.size(), -1);
    Best overall;
    for (int i = 0; i < int(newRows.size()); ++i) {
        Best below;
        for (int at = newRows[i] - 1; at > 0; at -= at & -at)
            below = std::max(below, tree[at]);
        Best ending { below.length + 1,
            below.samePlace
                + (shown.textView(shownRows[i], column::Position) == incoming.textView(newRows[i], column::Position)),
            i };
        previous[i] = below.last;
        for (int at = newRows[i]; at < int(tree.size()); at += at & -at)
            tree[at] = std::max(tree[at], ending);
        overall = std::max(overall, ending);
    }
    std::vector<bool> kept(newRows.size(), false);
    for (int i = overall.last; i >= 0; i = previous[i])
        kept[i] = true;
    for (int i = 0; i < int(newRows.size()); ++i) {
        if (!kept[i])
            add(changes.moved, changes.moreMoved,
                QStringLiteral("%1 van plaats %2 naar plaats %3")
                    .arg(starterName(incoming, newRows[i]), shown.textMatrix(shownRows[i], column::Position),
                        incoming.textMatrix(newRows[i], column::Position)));
    }

    addAdded(changes, incoming, after, matched, add);
    return changes;
}

namespace {

QString part(const char* what, const QStringList& named, int more)
{
    QString text = QLatin1String(what) + QStringLiteral(": ") + named.join(QStringLiteral(", "));
    if (more > 0)
        text += QStringLiteral(" en nog %1").arg(more);
    return text;
}

} // namespace

QString describeOfficeChanges(const OfficeChanges& changes)
{
    QStringList parts;
    if (!changes.withdrawn.isEmpty())
        parts << part("teruggetrokken", changes.withdrawn, changes.moreWithdrawn);
    if (!changes.added.isEmpty())
        parts << part("toegevoegd", changes.added, changes.moreAdded);
    if (!changes.moved.isEmpty())
        parts << part("verplaatst", changes.moved, changes.moreMoved);
    return parts.join(QStringLiteral("; "));
}
