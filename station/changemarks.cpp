#include "changemarks.h"

#include "clock.h"
#include "columns.h"
#include "knoppen.h"
#include "runordermerge.h"
#include "station.h"

#include <QTimer>
#include <algorithm>

ChangeMarks::ChangeMarks(Station& station, QObject* parent)
    : QObject(parent)
    , m_station(station)
{
    setObjectName(QStringLiteral("changeMarks"));
    m_expiry = new QTimer(this);
    m_expiry->setObjectName(QStringLiteral("changeMarksExpiry"));
    m_expiry->setSingleShot(true);
    connect(m_expiry, &QTimer::timeout, this, &ChangeMarks::expire);
    connect(&m_station, &Station::listRebuilt, this, &ChangeMarks::listRebuilt);
    connect(&m_station, &Station::listReplaced, this, &ChangeMarks::listReplaced);
    connect(&m_station, &Station::listMerged, this, &ChangeMarks::listMerged);
    connect(&m_station, &Station::sendWritten, this, &ChangeMarks::sendWritten);
    // Made over a station that already shows a list: the office's next list is compared with that one.
    m_officeKeys = officeKeys();
}

QSet<QString> ChangeMarks::officeKeys() const
{
    GridTable& snapshot = m_station.snapshot();
    QSet<QString> keys;
    keys.reserve(snapshot.rows());
    for (int r = 1; r < snapshot.rows(); ++r) {
        const QStringView key = snapshot.textView(r, column::Key);
        if (runordermerge::isStarterKey(key))
            keys.insert(key.toString());
    }
    return keys;
}

void ChangeMarks::mark(const QString& key, int col, const QDateTime& until)
{
    m_marks[key][col] = until;
}

void ChangeMarks::listRebuilt()
{
    // The whole list read anew (the start, another class): nothing on it is news against the ring's list.
    m_marks.clear();
    m_sent = false;
    m_sentKeys.clear();
    m_sentMarks.clear();
    m_officeKeys = officeKeys();
    m_expiry->stop();
    emit changed();
}

void ChangeMarks::listReplaced()
{
    const QDateTime until = m_station.clock().now().addSecs(markSeconds);
    QSet<QString> keys = officeKeys();
    for (const QString& key : std::as_const(keys)) {
        if (!m_officeKeys.contains(key))
            mark(key, -1, until);
    }
    m_officeKeys = std::move(keys);
    // The office's list is what the ring works from now; what was sent is behind it.
    m_sent = false;
    m_sentKeys.clear();
    m_sentMarks.clear();
    scheduleExpiry();
    emit changed();
}

void ChangeMarks::listMerged()
{
    const GridTable& working = m_station.working();
    const QDateTime until = m_station.clock().now().addSecs(markSeconds);
    for (const runordermerge::ChangedCell& cell : m_station.loader().mergedCells()) {
        if (cell.row > 0 && cell.row < working.rows())
            mark(working.textMatrix(cell.row, column::Key), cell.col, until);
    }
    scheduleExpiry();
    emit changed();
}

void ChangeMarks::sendWritten()
{
    const GridTable& working = m_station.working();
    m_sentKeys.resize(size_t(std::max(0, working.rows())));
    m_sentMarks.resize(m_sentKeys.size());
    for (int r = 1; r < working.rows(); ++r) {
        m_sentKeys[size_t(r)] = working.textMatrix(r, column::Key);
        m_sentMarks[size_t(r)] = working.textView(r, column::Mark) == notStartedMark;
    }
    m_sent = true;
    emit changed();
}

void ChangeMarks::scheduleExpiry()
{
    const QDateTime now = m_station.clock().now();
    QDateTime first;
    for (const auto& columns : std::as_const(m_marks)) {
        for (const QDateTime& until : columns) {
            if (!first.isValid() || until < first)
                first = until;
        }
    }
    if (!first.isValid()) {
        m_expiry->stop();
        return;
    }
    // A moment after the first mark ends by the station's clock; a clock that stands still (in a test) only
    // brings the timer back later.
    m_expiry->start(int(std::clamp<qint64>(now.msecsTo(first) + 50, 50, qint64(markSeconds) * 1000 + 50)));
}

void ChangeMarks::expire()
{
    const QDateTime now = m_station.clock().now();
    bool removed = false;
    for (auto key = m_marks.begin(); key != m_marks.end();) {
        for (auto col = key->begin(); col != key->end();) {
            if (*col <= now) {
                col = key->erase(col);
                removed = true;
            } else {
                ++col;
            }
        }
        key = key->isEmpty() ? m_marks.erase(key) : std::next(key);
    }
    scheduleExpiry();
    if (removed)
        emit changed();
}

bool ChangeMarks::hasOfficeChanges() const
{
    return !m_marks.isEmpty();
}

bool ChangeMarks::officeChanged(int row, int col) const
{
    if (m_marks.isEmpty())
        return false;
    const GridTable& working = m_station.working();
    if (row < 1 || row >= working.rows())
        return false;
    const auto found = m_marks.constFind(working.textView(row, column::Key).toString());
    if (found == m_marks.cend())
        return false;
    const QDateTime now = m_station.clock().now();
    const auto isLive = [&](int c) {
        const auto until = found->constFind(c);
        return until != found->cend() && *until > now;
    };
    return isLive(col) || isLive(-1);
}

bool ChangeMarks::officeAdded(int row) const
{
    return officeChanged(row, -1);
}

bool ChangeMarks::unsent(int row) const
{
    const GridTable& working = m_station.working();
    const GridTable& snapshot = m_station.snapshot();
    if (row < 1 || row >= working.rows())
        return false;
    const QStringView key = working.textView(row, column::Key);
    const bool asOffice
        = row < snapshot.rows() && snapshot.textView(row, column::Key) == key && !knoppen::markChanged(working, row);
    if (asOffice)
        return false;
    if (!m_sent)
        return true;
    const size_t r = size_t(row);
    return r >= m_sentKeys.size() || m_sentKeys[r] != key
        || m_sentMarks[r] != (working.textView(row, column::Mark) == notStartedMark);
}
