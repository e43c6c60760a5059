#include "classedits.h"

#include "columns.h"
#include "mutationfile.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace kantoor {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The starters' keys, top to bottom; a problem when one repeats.
QStringList starterKeys(const PublishedOrder& order, QString& problem)
{
    QStringList keys;
    QSet<QString> seen;
    for (const QStringList& line : order.lines) {
        const QString& key = line.value(column::Key);
        if (isPauseKey(key))
            continue;
        if (seen.contains(key)) {
            problem = QStringLiteral("the class itself holds the key %1 on more than one line").arg(quoted(key));
            return {};
        }
        seen.insert(key);
        keys.append(key);
    }
    return keys;
}

// Checks that `lists` together name each of `keys` exactly once, pause keys left aside; `what` names the
// lists in the problem.
QString checkCovers(const QStringList& keys, const QList<const QStringList*>& lists, const QString& what)
{
    const QSet<QString> known(keys.cbegin(), keys.cend());
    QSet<QString> named;
    for (const QStringList* list : lists) {
        for (const QString& key : *list) {
            if (isPauseKey(key))
                continue;
            if (!known.contains(key))
                return QStringLiteral("the key %1 in %2 is not one of the class's").arg(quoted(key), what);
            if (named.contains(key))
                return QStringLiteral("the key %1 stands more than once in %2").arg(quoted(key), what);
            named.insert(key);
        }
    }
    for (const QString& key : keys) {
        if (!named.contains(key))
            return QStringLiteral("the key %1 of the class is missing from %2").arg(quoted(key), what);
    }
    return QString();
}

// Puts the lines of the starters into the starters' places in the order of `keys` (already checked).
void placeStarters(PublishedOrder& order, const QStringList& keys)
{
    QHash<QString, QStringList> byKey;
    byKey.reserve(keys.size());
    for (const QStringList& line : order.lines) {
        if (!isPauseKey(line.value(column::Key)))
            byKey.insert(line.value(column::Key), line);
    }
    qsizetype next = 0;
    for (QStringList& line : order.lines) {
        if (!isPauseKey(line.value(column::Key)))
            line = byKey.value(keys.at(next++));
    }
}

QStringList withoutPauses(const QStringList& keys)
{
    QStringList result;
    result.reserve(keys.size());
    for (const QString& key : keys) {
        if (!isPauseKey(key))
            result.append(key);
    }
    return result;
}

bool hasKey(const PublishedOrder& order, const QString& key)
{
    for (const QStringList& line : order.lines) {
        if (line.value(column::Key) == key)
            return true;
    }
    return false;
}

// The column an assignment names: a number 0 to 10 or a title of the header row; -1 when neither.
int columnNamed(const PublishedOrder& order, const QString& name)
{
    bool isNumber = false;
    const int number = name.trimmed().toInt(&isNumber);
    if (isNumber)
        return number >= 0 && number < column::Count ? number : -1;
    for (int c = 0; c < int(order.header.size()); ++c) {
        if (!name.trimmed().isEmpty() && order.header.at(c).trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

} // namespace

qsizetype lineWithKey(const PublishedOrder& order, const QString& key, QString& problem)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < qsizetype(order.lines.size()); ++i) {
        if (order.lines[std::size_t(i)].value(column::Key) != key)
            continue;
        if (found >= 0) {
            problem = QStringLiteral("the key %1 stands on more than one line").arg(quoted(key));
            return -1;
        }
        found = i;
    }
    if (found < 0)
        problem = QStringLiteral("no line has the key %1").arg(quoted(key));
    return found;
}

QString removeLine(PublishedOrder& order, const QString& key)
{
    QString problem;
    const qsizetype index = lineWithKey(order, key, problem);
    if (index >= 0)
        order.lines.erase(order.lines.begin() + index);
    return problem;
}

QString insertLine(PublishedOrder& order, const QString& afterKey, const QStringList& cells)
{
    const QString key = cells.value(column::Key);
    if (key.isEmpty() || (!isPauseKey(key) && hasKey(order, key)))
        return QStringLiteral("the new line needs a key of its own, not %1").arg(quoted(key));
    if (order.lines.size() >= std::size_t(PublishedOrder::MaxLines))
        return QStringLiteral("the class cannot hold more than %1 lines").arg(PublishedOrder::MaxLines);
    QString problem;
    const qsizetype index = lineWithKey(order, afterKey, problem);
    if (index < 0)
        return problem;
    QStringList line = cells;
    line.resize(column::Count);
    order.lines.insert(order.lines.begin() + index + 1, line);
    return QString();
}

QString setField(PublishedOrder& order, const QString& assignment)
{
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    const qsizetype colon = equals < 0 ? -1 : assignment.left(equals).lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return QStringLiteral("--set %1 is not KEY:COLUMN=TEXT").arg(quoted(assignment));
    const QString key = assignment.left(colon);
    const QString columnName = assignment.mid(colon + 1, equals - colon - 1);
    const int col = columnNamed(order, columnName);
    if (col < 0)
        return QStringLiteral("--set %1: no column %2 (a number 2 to 10 or a column title)")
            .arg(quoted(assignment), quoted(columnName));
    if (col == column::Key)
        return QStringLiteral("--set %1: column 0 is the line key; remove the line and insert it anew")
            .arg(quoted(assignment));
    if (col == column::Position)
        return QStringLiteral("--set %1: column 1 is the running position, which is numbered on every publication")
            .arg(quoted(assignment));
    QString problem;
    const qsizetype index = lineWithKey(order, key, problem);
    if (index < 0)
        return QStringLiteral("--set %1: %2").arg(quoted(assignment), problem);
    QStringList& line = order.lines[std::size_t(index)];
    line.resize(std::max<qsizetype>(line.size(), column::Count));
    line[col] = assignment.mid(equals + 1);
    return QString();
}

QString reorderStarters(PublishedOrder& order, const QStringList& keys)
{
    QString problem;
    const QStringList starters = starterKeys(order, problem);
    if (!problem.isEmpty())
        return problem;
    for (const QString& key : keys) {
        if (isPauseKey(key))
            return QStringLiteral("the order names %1: pause lines keep their places; name only the starters")
                .arg(quoted(key));
    }
    problem = checkCovers(starters, { &keys }, QStringLiteral("the order"));
    if (problem.isEmpty())
        placeStarters(order, keys);
    return problem;
}

QString applyMutation(PublishedOrder& order, const MutationRecord& mutation)
{
    if (mutation.rid != order.rid)
        return QStringLiteral("it is for rid %1, the class has rid %2").arg(quoted(mutation.rid), quoted(order.rid));
    QString problem;
    const QStringList starters = starterKeys(order, problem);
    if (!problem.isEmpty())
        return problem;
    const QStringList newOrder = withoutPauses(mutation.order);
    problem = checkCovers(starters, { &newOrder }, QStringLiteral("the order"));
    if (problem.isEmpty()) {
        problem = checkCovers(
            starters, { &mutation.notStarted, &mutation.started }, QStringLiteral("the notstarted and started lists"));
    }
    if (!problem.isEmpty())
        return problem;

    placeStarters(order, newOrder);
    for (QStringList& line : order.lines)
        line.resize(std::max<qsizetype>(line.size(), column::Count));
    const QSet<QString> notStarted(mutation.notStarted.cbegin(), mutation.notStarted.cend());
    for (QStringList& line : order.lines) {
        if (isPauseKey(line.value(column::Key)))
            continue;
        QString& status = line[column::Status];
        const bool officeHasNotStarted = status.contains(notStartedMark);
        if (notStarted.contains(line.value(column::Key))) {
            if (!officeHasNotStarted)
                status = notStartedMark.toString();
            line[column::Mark] = notStartedMark.toString();
        } else {
            if (officeHasNotStarted)
                status.clear();
            line[column::Mark].clear();
        }
    }
    return QString();
}

} // namespace kantoor
