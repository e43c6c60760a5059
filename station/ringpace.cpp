#include "ringpace.h"

#include <QJsonArray>
#include <algorithm>

void RingPace::movedOn(const QDateTime& at, const QString& key, bool overPause)
{
    MoveOn move { at, key, std::nullopt };
    // The first move on of the class has no round before it; a clock set back gives none either.
    if (!m_moves.empty() && !overPause) {
        const qint64 seconds = m_moves.back().at.secsTo(at);
        if (seconds >= 0 && seconds < 24 * 3600)
            move.round = int(seconds);
    }
    m_moves.push_back(std::move(move));
    if (m_moves.size() > kept)
        m_moves.erase(m_moves.begin());
}

void RingPace::movedBack(const QString& key)
{
    if (!m_moves.empty() && m_moves.back().key == key)
        m_moves.pop_back();
}

void RingPace::clear()
{
    m_moves.clear();
}

std::optional<QDateTime> RingPace::lastMoveOn() const
{
    if (m_moves.empty())
        return std::nullopt;
    return m_moves.back().at;
}

std::optional<RingPace::MoveOn> RingPace::lastMove() const
{
    if (m_moves.empty())
        return std::nullopt;
    return m_moves.back();
}

std::vector<int> RingPace::rounds() const
{
    std::vector<int> rounds;
    for (const MoveOn& move : m_moves) {
        if (move.round)
            rounds.push_back(*move.round);
    }
    return rounds;
}

std::optional<int> RingPace::expectedRound(std::optional<int> plannedInterval) const
{
    std::vector<int> last = rounds();
    if (int(last.size()) < roundsNeeded)
        return plannedInterval;
    if (int(last.size()) > roundsUsed)
        last.erase(last.begin(), last.end() - roundsUsed);
    std::sort(last.begin(), last.end());
    const size_t middle = last.size() / 2;
    if (last.size() % 2 == 1)
        return last[middle];
    return (last[middle - 1] + last[middle] + 1) / 2;
}

QJsonObject RingPace::toJson() const
{
    QJsonArray moves;
    for (const MoveOn& move : m_moves) {
        QJsonObject entry { { QStringLiteral("at"), move.at.toString(Qt::ISODate) },
            { QStringLiteral("key"), move.key } };
        if (move.round)
            entry.insert(QStringLiteral("round"), *move.round);
        moves.append(entry);
    }
    return QJsonObject { { QStringLiteral("movesOn"), moves } };
}

std::optional<RingPace> RingPace::fromJson(const QJsonObject& object)
{
    const QJsonValue moves = object.value(QStringLiteral("movesOn"));
    if (!moves.isArray())
        return std::nullopt;
    RingPace pace;
    for (const QJsonValue& value : moves.toArray()) {
        const QJsonObject entry = value.toObject();
        MoveOn move;
        move.at = QDateTime::fromString(entry.value(QStringLiteral("at")).toString(), Qt::ISODate);
        move.key = entry.value(QStringLiteral("key")).toString();
        if (!move.at.isValid())
            return std::nullopt;
        const QJsonValue round = entry.value(QStringLiteral("round"));
        if (round.isDouble()) {
            const double seconds = round.toDouble();
            if (seconds < 0 || seconds >= 24 * 3600)
                return std::nullopt;
            move.round = int(seconds);
        }
        pace.m_moves.push_back(std::move(move));
    }
    if (pace.m_moves.size() > kept)
        pace.m_moves.erase(pace.m_moves.begin(), pace.m_moves.end() - kept);
    return pace;
}
