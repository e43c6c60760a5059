#pragma once

#include <QHash>
#include <QStringView>
#include <optional>

class GridTable;

// What the office's planned times (the Tijd column) say of a class's pace, worked out once per list the office
// publishes: the interval between two starters (the difference that occurs most often between two starters that
// follow each other with no pause line between them; of equal counts the shorter) and the planned length of each
// pause line (from its own time, or one interval after the starter before it, to the time of the starter after
// it). The ring's moves take a starter's planned time along with it, so the plan is read from the office's list
// as it was published, never from the ring's list.
struct ClassPlan
{
    // Seconds between two starters; nothing when no two starters in a row have times.
    std::optional<int> interval;
    // Seconds of each pause line, by its row (pause lines never move); a pause whose length the times do not
    // give is absent.
    QHash<int, int> pauseLengths;

    // The planned length of the pause line on `row`: its own, else one interval, else none at all.
    int pauseLength(int row) const;
    friend bool operator==(const ClassPlan&, const ClassPlan&) = default;
};

// A time as the office writes it: "10:30", "9:05", "10.30", "10:30:15"; seconds since midnight, nothing for
// anything else.
std::optional<int> plannedSeconds(QStringView text);

// The plan of the office's list (grid(2)).
ClassPlan classPlanOf(const GridTable& office);
