#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

// The ring's real pace in a class: each time the official moves the ring on to the next starter the time is
// kept, and a round is the time between two moves on. The expected length of the next rounds is the median of
// the last seven rounds, so one long round (a fall, a refusal, a course repair) does not make every estimate
// jump; before three rounds are seen it is the interval the office planned, and without that there is no
// expectation at all. A move on past a pause line is no round (the pause counts at its planned length where
// the estimates are made), and a step back takes the last move on back, so a slip of the finger leaves no
// trace. It knows no grid and no clock: the station gives it the times, and the journal keeps it with the
// class's work, so a restart of the station does not forget it.
class RingPace
{
public:
    static constexpr int roundsUsed = 7;
    static constexpr int roundsNeeded = 3;

    // The ring moved on to the starter `key` at `at`; `overPause`: a pause line stood between.
    void movedOn(const QDateTime& at, const QString& key, bool overPause);
    // The ring went back from the starter `key`: the move on that brought it there is taken back.
    void movedBack(const QString& key);
    void clear();

    // When the starter in the ring went in: the last move on; nothing before the first.
    std::optional<QDateTime> lastMoveOn() const;
    // The rounds seen, oldest first.
    std::vector<int> rounds() const;
    // Whether the class has a pace of its own (enough rounds seen).
    bool hasOwnPace() const { return int(rounds().size()) >= roundsNeeded; }
    // The expected length of a round, in seconds: the median of the last rounds, else the office's interval.
    std::optional<int> expectedRound(std::optional<int> plannedInterval) const;

    QJsonObject toJson() const;
    // Nothing when the object is no pace of the station's.
    static std::optional<RingPace> fromJson(const QJsonObject& object);

    friend bool operator==(const RingPace&, const RingPace&) = default;

    struct MoveOn
    {
        QDateTime at;
        QString key;
        std::optional<int> round; // seconds since the move on before it, when that was a round
        friend bool operator==(const MoveOn&, const MoveOn&) = default;
    };
    // The last move on: when, and to which starter.
    std::optional<MoveOn> lastMove() const;

private:
    // The last moves on, enough for seven rounds and a few steps back.
    static constexpr size_t kept = 32;
    std::vector<MoveOn> m_moves;
};
