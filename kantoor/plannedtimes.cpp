#include "plannedtimes.h"

#include "columns.h"

#include <QMap>
#include <QRegularExpression>

namespace kantoor {

namespace {

constexpr int secondsPerDay = 24 * 3600;

std::optional<int> secondsOf(const QStringList& line)
{
    const std::optional<QTime> time = parsePlannedTime(line.value(column::Time));
    return time ? std::optional<int>(time->msecsSinceStartOfDay() / 1000) : std::nullopt;
}

bool isPause(const QStringList& line)
{
    return isPauseKey(line.value(column::Key));
}

// The published length of the pause on line `index`, in seconds; nothing when the times do not say.
std::optional<int> pauseLength(const PublishedOrder& published, size_t index, int interval)
{
    std::optional<int> begins = secondsOf(published.lines[index]);
    if (!begins) {
        // One interval after the starter before it, as the plan gives a pause its time.
        for (size_t i = index; i-- > 0;) {
            if (isPause(published.lines[i]))
                continue;
            if (const std::optional<int> before = secondsOf(published.lines[i]))
                begins = *before + interval;
            break;
        }
    }
    for (size_t i = index + 1; begins && i < published.lines.size(); ++i) {
        if (isPause(published.lines[i]))
            return std::nullopt; // two pauses in a row: their times tell nothing of each
        const std::optional<int> after = secondsOf(published.lines[i]);
        if (!after)
            return std::nullopt;
        // Across midnight, a class at night.
        const int length = (*after - *begins + secondsPerDay) % secondsPerDay;
        return length > 0 ? std::optional<int>(length) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<QTime> parsePlannedTime(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2})[:.](\\d{2})(?::(\\d{2}))?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

std::optional<int> derivedInterval(const PublishedOrder& order)
{
    QMap<int, int> counts; // interval -> how often; ordered, so of equal counts the shorter comes first
    std::optional<int> previous;
    for (const QStringList& line : order.lines) {
        if (isPause(line)) {
            previous.reset();
            continue;
        }
        const std::optional<int> time = secondsOf(line);
        if (time && previous) {
            const int difference = (*time - *previous + secondsPerDay) % secondsPerDay;
            // Equal times (two riders on one horse's time) and gaps of hours are no interval.
            if (difference > 0 && difference <= 3600)
                ++counts[difference];
        }
        previous = time;
    }
    std::optional<int> best;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

bool planTimes(PublishedOrder& order, const PublishedOrder& published, std::optional<int> interval)
{
    if (!interval || *interval <= 0)
        interval = derivedInterval(published);
    std::optional<QTime> start = parsePlannedTime(published.begintijd);
    bool withSeconds = false;
    for (const QStringList& line : published.lines) {
        const std::optional<QTime> time = parsePlannedTime(line.value(column::Time));
        if (!start && time && !isPause(line))
            start = time;
        withSeconds = withSeconds || (time && line.value(column::Time).count(u':') == 2);
    }
    if (!interval || !start)
        return false;

    const QString format = withSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    QTime time = *start;
    for (size_t i = 0; i < order.lines.size(); ++i) {
        QStringList& line = order.lines[i];
        while (line.size() < column::Count)
            line << QString();
        if (!isPause(line)) {
            line[column::Time] = time.toString(format);
            time = time.addSecs(*interval);
            continue;
        }
        // The pause lines are the published ones, in the same places.
        const bool known = i < published.lines.size() && isPause(published.lines[i]);
        if (known && !published.lines[i].value(column::Time).trimmed().isEmpty())
            line[column::Time] = time.toString(format);
        const std::optional<int> length = known ? pauseLength(published, i, *interval) : std::nullopt;
        time = time.addSecs(length.value_or(*interval));
    }
    return true;
}

bool sameOrder(const PublishedOrder& a, const PublishedOrder& b)
{
    if (a.lines.size() != b.lines.size())
        return false;
    for (size_t i = 0; i < a.lines.size(); ++i) {
        if (a.lines[i].value(column::Key) != b.lines[i].value(column::Key))
            return false;
    }
    return true;
}

} // namespace kantoor
