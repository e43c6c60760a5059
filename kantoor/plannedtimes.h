#pragma once

#include "publishedorder.h"

#include <QString>
#include <QTime>
#include <optional>

namespace kantoor {

// The planned start times (the Tijd column) of a class, as an office gives them when the order changes: the
// starters ride one interval apart from the class's start time, in the new order, and the pause lines, which
// stay in their places, keep the length the office gave them.
//
// - The start time is the class's "begintijd"; when that is no time, the first planned time of the list.
// - The interval is the one given (kantoor serve --start-interval); else the one the published times show: the
//   difference that occurs most often between two starters that follow each other with no pause between them
//   (of equal counts the shorter). With no start or no interval there is no plan, and the times stay as they
//   are.
// - A pause line takes the length the published times give it: from its own time (or else one interval after
//   the starter before it) to the time of the starter after it. Without such times it takes one interval.
//   It shows the time it begins, if it showed one before.
// - A starter marked not started keeps its place in the plan: no rider is called earlier than the time the
//   office gave out because another withdrew.
// - Times are written as the list wrote them: "HH:mm", or "HH:mm:ss" when a published time has seconds.

// A time as an office writes it: "10:30", "9:05", "10.30", "10:30:15"; nothing for anything else.
std::optional<QTime> parsePlannedTime(const QString& text);

// The interval in seconds that the published times show; nothing when no two starters in a row have times.
std::optional<int> derivedInterval(const PublishedOrder& order);

// Gives the lines of `order` (the new order of the class) their planned times, by the plan of `published`
// (the class as the office published it before, with the same pause lines in the same places). `interval` is
// the given interval in seconds, if any. Returns false when there is no plan and nothing was changed.
bool planTimes(PublishedOrder& order, const PublishedOrder& published, std::optional<int> interval = std::nullopt);

// Whether two publications of a class list the same lines in the same order (by key).
bool sameOrder(const PublishedOrder& a, const PublishedOrder& b);

} // namespace kantoor
