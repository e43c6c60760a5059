#include "officechanges.h"

#include "columns.h"
#include "daylogtexts.h"
#include "gridtable.h"

#include <QHash>

namespace {

// Row of each starter's key (pause lines left out).
QHash<QStringView, int> rowsByKey(const GridTable& grid)
{
    QHash<QStringView, int> rows;
    rows.reserve(grid.rows());
    for (int row = 1; row < grid.rows(); ++row) {
        const QStringView key = grid.textView(row, column::Key);
        if (!isPauseKey(key) && !key.isEmpty())
            rows.insert(key, row);
    }
    return rows;
}

} // namespace

QString starterName(const GridTable& grid, int row)
{
    if (row < 1 || row >= grid.rows())
        return QString();
    return daylogtext::starter(grid.textMatrix(row, column::Number), grid.textMatrix(row, column::Rider),
        grid.textMatrix(row, column::Horse), grid.textMatrix(row, column::Key));
}

OfficeChanges officeChanges(const GridTable& shown, const GridTable& incoming)
{
    OfficeChanges changes;
    const QHash<QStringView, int> before = rowsByKey(shown);
    const QHash<QStringView, int> after = rowsByKey(incoming);
    // In the order of the lists, so the log reads top to bottom.
    for (int row = 1; row < shown.rows(); ++row) {
        const QStringView key = shown.textView(row, column::Key);
        if (isPauseKey(key) || key.isEmpty() || before.value(key) != row)
            continue;
        const auto there = after.constFind(key);
        const QString place = shown.textMatrix(row, column::Position);
        if (there == after.cend()) {
            changes.withdrawn << QStringLiteral("%1 van plaats %2").arg(starterName(shown, row), place);
        } else {
            const QString newPlace = incoming.textMatrix(*there, column::Position);
            if (newPlace != place)
                changes.moved << QStringLiteral("%1 van plaats %2 naar plaats %3")
                                     .arg(starterName(incoming, *there), place, newPlace);
        }
    }
    for (int row = 1; row < incoming.rows(); ++row) {
        const QStringView key = incoming.textView(row, column::Key);
        if (isPauseKey(key) || key.isEmpty() || after.value(key) != row || before.contains(key))
            continue;
        changes.added << QStringLiteral("%1 op plaats %2")
                             .arg(starterName(incoming, row), incoming.textMatrix(row, column::Position));
    }
    return changes;
}

QString describeOfficeChanges(const OfficeChanges& changes)
{
    QStringList parts;
    if (!changes.withdrawn.isEmpty())
        parts << QStringLiteral("teruggetrokken: %1").arg(changes.withdrawn.join(QStringLiteral(", ")));
    if (!changes.added.isEmpty())
        parts << QStringLiteral("toegevoegd: %1").arg(changes.added.join(QStringLiteral(", ")));
    if (!changes.moved.isEmpty())
        parts << QStringLiteral("verplaatst: %1").arg(changes.moved.join(QStringLiteral(", ")));
    return parts.join(QStringLiteral("; "));
}
