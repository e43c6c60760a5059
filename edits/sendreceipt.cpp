#include "sendreceipt.h"

#include "columns.h"
#include "gridtable.h"

#include <QHash>

SentList sentListOf(const GridTable& working, const QDateTime& at)
{
    SentList sent;
    sent.at = at;
    for (int r = 1; r < working.rows(); ++r) {
        const QStringView key = working.textView(r, column::Key);
        if (key.isEmpty() || isPauseKey(key) || key == zeroKey)
            continue;
        sent.order << key.toString();
        if (working.textView(r, column::Mark) == notStartedMark)
            sent.notStarted.insert(key.toString());
    }
    return sent;
}

bool takenIn(const SentList& sent, const GridTable& office)
{
    QHash<QString, int> place;
    place.reserve(sent.order.size());
    for (int i = 0; i < sent.order.size(); ++i)
        place.insert(sent.order[i], i);
    int last = -1;
    for (int r = 1; r < office.rows(); ++r) {
        const auto it = place.constFind(office.textMatrix(r, column::Key));
        if (it == place.cend())
            continue;
        if (it.value() < last)
            return false;
        last = it.value();
        const bool officeNotStarted = office.textView(r, column::Status).contains(notStartedMark);
        if (officeNotStarted != sent.notStarted.contains(it.key()))
            return false;
    }
    return true;
}
