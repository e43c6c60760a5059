#include "ringwork.h"

#include "columns.h"
#include "gridtable.h"
#include "knoppen.h"
#include "regels.h"

#include <QCryptographicHash>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

namespace {

bool isStarter(QStringView key)
{
    return !key.isEmpty() && !isPauseKey(key) && key != zeroKey;
}

bool markedAtRing(const GridTable& grid, int row)
{
    return grid.textView(row, column::Mark) == notStartedMark;
}

QJsonArray toArray(const QStringList& list)
{
    QJsonArray array;
    for (const QString& text : list)
        array.append(text);
    return array;
}

std::optional<QStringList> fromArray(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QStringList list;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString())
            return std::nullopt;
        list << item.toString();
    }
    return list;
}

constexpr int journalVersion = 1;

// A starter on row `r` of the ring's list is work of the ring's: moved off the office's place, or marked anew.
bool changedAt(const GridTable& working, const GridTable& snapshot, int r, QStringView key)
{
    return r >= snapshot.rows() || snapshot.textView(r, column::Key) != key || knoppen::markChanged(working, r);
}

} // namespace

bool hasRingWork(const GridTable& working, const GridTable& snapshot)
{
    for (int r = 1; r < working.rows(); ++r) {
        const QStringView key = working.textView(r, column::Key);
        if (isStarter(key) && changedAt(working, snapshot, r, key))
            return true;
    }
    return false;
}

RingWork ringWorkOf(const GridTable& working, const GridTable& snapshot)
{
    RingWork work;
    work.officeList = officeListDigest(snapshot);
    for (int r = 1; r < working.rows(); ++r) {
        const QStringView key = working.textView(r, column::Key);
        work.order << key.toString();
        if (markedAtRing(working, r))
            work.notStarted << key.toString();
        if (!isStarter(key))
            continue;
        if (changedAt(working, snapshot, r, key)) {
            work.changed << key.toString();
            const QString number = working.textMatrix(r, column::Number);
            const QString rider = working.textMatrix(r, column::Rider);
            work.changedNames << (number.isEmpty() ? rider : number + u' ' + rider).trimmed();
        }
    }
    return work;
}

QByteArray officeListDigest(const GridTable& snapshot)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int r = 1; r < snapshot.rows(); ++r) {
        for (int c : { column::Key, column::Position }) {
            const QStringView text = snapshot.textView(r, c);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
            hash.addData(QByteArrayView("\t", 1));
        }
        hash.addData(QByteArrayView("\n", 1));
    }
    return hash.result().toHex();
}

Reapplication reapply(GridTable& working, const RingWork& work, bool reorder, bool mark)
{
    Reapplication result;
    // Where each starter of the office's list stands (a key that repeats is taken at its first line).
    QHash<QString, int> rowOf;
    for (int r = 1; r < working.rows(); ++r) {
        const QStringView key = working.textView(r, column::Key);
        if (isStarter(key) && !rowOf.contains(key.toString()))
            rowOf.insert(key.toString(), r);
    }
    const bool redraw = working.redraw();
    working.setRedraw(false);
    if (reorder) {
        // The ring's order of the starters in both lists, and the places they hold in the office's list.
        QStringList ringOrder;
        QSet<QString> seen;
        for (const QString& key : work.order) {
            if (isStarter(key) && rowOf.contains(key) && !seen.contains(key)) {
                ringOrder << key;
                seen.insert(key);
            }
        }
        std::vector<int> places;
        for (const QString& key : ringOrder)
            places.push_back(rowOf.value(key));
        std::sort(places.begin(), places.end());
        for (std::size_t i = 0; i < places.size(); ++i) {
            const QString& wanted = ringOrder[qsizetype(i)];
            const int from = rowOf.value(wanted);
            const int to = places[i];
            if (from == to)
                continue;
            const QString displaced = working.textMatrix(to, column::Key);
            regels::verwisselregels(working, to, from);
            result.step.exchanges.emplace_back(to, from);
            rowOf.insert(wanted, to);
            rowOf.insert(displaced, from);
        }
    }
    if (mark) {
        const QSet<QString> notStarted(work.notStarted.begin(), work.notStarted.end());
        const QSet<QString> known(work.order.begin(), work.order.end());
        for (auto it = rowOf.cbegin(); it != rowOf.cend(); ++it) {
            if (!known.contains(it.key()))
                continue; // a starter the office added: the ring never saw it
            const bool wanted = notStarted.contains(it.key());
            if (wanted != markedAtRing(working, it.value())) {
                working.setTextMatrix(it.value(), column::Mark, wanted ? notStartedMark.toString() : QString());
                result.step.toggledMarks.push_back(it.value());
            }
        }
        std::sort(result.step.toggledMarks.begin(), result.step.toggledMarks.end());
    }
    working.setRedraw(redraw);
    for (qsizetype i = 0; i < work.changed.size(); ++i) {
        if (rowOf.contains(work.changed[i]))
            ++result.changesBack;
        else
            result.missing << (work.changedNames.value(i).isEmpty() ? work.changed[i] : work.changedNames[i]);
    }
    return result;
}

QByteArray ringWorkToJson(const RingWork& work)
{
    QJsonObject object;
    object.insert(QStringLiteral("versie"), journalVersion);
    object.insert(QStringLiteral("bestandspad"), work.bestandspad);
    object.insert(QStringLiteral("rid"), work.rid);
    object.insert(QStringLiteral("lijst"), QString::fromLatin1(work.officeList));
    object.insert(QStringLiteral("volgorde"), toArray(work.order));
    object.insert(QStringLiteral("nietgestart"), toArray(work.notStarted));
    object.insert(QStringLiteral("gewijzigd"), toArray(work.changed));
    object.insert(QStringLiteral("namen"), toArray(work.changedNames));
    object.insert(QStringLiteral("bewaard"), work.saved.toString(Qt::ISODate));
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<RingWork> ringWorkFromJson(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("versie")).toInt() != journalVersion)
        return std::nullopt;
    RingWork work;
    const QJsonValue path = object.value(QStringLiteral("bestandspad"));
    const QJsonValue rid = object.value(QStringLiteral("rid"));
    const QJsonValue list = object.value(QStringLiteral("lijst"));
    if (!path.isString() || !rid.isString() || !list.isString())
        return std::nullopt;
    work.bestandspad = path.toString();
    work.rid = rid.toString();
    work.officeList = list.toString().toLatin1();
    const auto order = fromArray(object.value(QStringLiteral("volgorde")));
    const auto notStarted = fromArray(object.value(QStringLiteral("nietgestart")));
    const auto changed = fromArray(object.value(QStringLiteral("gewijzigd")));
    const auto names = fromArray(object.value(QStringLiteral("namen")));
    if (!order || !notStarted || !changed || !names)
        return std::nullopt;
    work.changedNames = *names;
    work.order = *order;
    work.notStarted = *notStarted;
    work.changed = *changed;
    work.saved = QDateTime::fromString(object.value(QStringLiteral("bewaard")).toString(), Qt::ISODate);
    return work;
}
