#include "classplan.h"

#include "columns.h"
#include "gridtable.h"

#include <QMap>

namespace {

// A plausible gap between two starters: more than nothing and less than a class's afternoon.
constexpr int longestInterval = 3 * 3600;

int digitsValue(QStringView digits)
{
    int value = 0;
    for (QChar c : digits)
        value = value * 10 + (c.unicode() - '0');
    return value;
}

} // namespace

std::optional<int> plannedSeconds(QStringView text)
{
    text = text.trimmed();
    // h:mm, hh:mm, hh:mm:ss, with ':' or '.' between the parts.
    int parts[3] = { 0, 0, 0 };
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            continue;
        if (i < text.size() && text[i] != u':' && text[i] != u'.')
            return std::nullopt;
        const QStringView digits = text.mid(start, i - start);
        if (count == 3 || digits.isEmpty() || digits.size() > 2 || (count > 0 && digits.size() != 2))
            return std::nullopt;
        parts[count++] = digitsValue(digits);
        start = i + 1;
    }
    if (count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

int ClassPlan::pauseLength(int row) const
{
    const auto found = pauseLengths.constFind(row);
    if (found != pauseLengths.cend())
        return found.value();
    return interval.value_or(0);
}

ClassPlan classPlanOf(const GridTable& office)
{
    ClassPlan plan;
    const int first = office.fixedRows();
    const int last = office.rows() - 1;
    // The intervals, counted by length: a map keeps them ordered, so of equal counts the shorter wins.
    QMap<int, int> counts;
    int previous = -1; // the planned time of the starter just before, with no pause since; -1 for none
    for (int r = first; r <= last; ++r) {
        const QStringView key = office.textView(r, column::Key);
        if (isPauseKey(key) || key.isEmpty()) {
            previous = -1;
            continue;
        }
        const int time = plannedSeconds(office.textView(r, column::Time)).value_or(-1);
        if (time >= 0 && previous >= 0 && time > previous && time - previous <= longestInterval)
            ++counts[time - previous];
        previous = time;
    }
    int best = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > best) {
            best = it.value();
            plan.interval = it.key();
        }
    }
    // Each pause: from where it begins to the first starter after it that has a time.
    for (int r = first; r <= last; ++r) {
        if (!isPauseKey(office.textView(r, column::Key)))
            continue;
        std::optional<int> begins = plannedSeconds(office.textView(r, column::Time));
        if (!begins && plan.interval) {
            for (int b = r - 1; b >= first; --b) {
                const QStringView key = office.textView(b, column::Key);
                if (isPauseKey(key) || key.isEmpty())
                    continue;
                if (const std::optional<int> before = plannedSeconds(office.textView(b, column::Time)))
                    begins = *before + *plan.interval;
                break;
            }
        }
        if (!begins)
            continue;
        for (int a = r + 1; a <= last; ++a) {
            const QStringView key = office.textView(a, column::Key);
            if (key.isEmpty())
                continue;
            // A pause straight after it begins where this one ends, when it says when.
            if (isPauseKey(key) && !plannedSeconds(office.textView(a, column::Time)))
                continue;
            const std::optional<int> after = plannedSeconds(office.textView(a, column::Time));
            if (after && *after >= *begins && *after - *begins <= longestInterval)
                plan.pauseLengths.insert(r, *after - *begins);
            break;
        }
    }
    return plan;
}
