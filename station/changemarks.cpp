#include "changemarks.h"

#include "clock.h"
#include "columns.h"
#include "knoppen.h"
#include "runordermerge.h"
#include "station.h"

#include <QTimer>
#include <algorithm>

ChangeMarks::ChangeMarks(const Station& station, QObject* parent)
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

size_t ChangeMarks::keyHash(QStringView key)
{
    return qHash(key);
}

QSet<size_t> ChangeMarks::officeKeys() const
{
    const GridTable& snapshot = m_station.snapshot();
    QSet<size_t> keys;
    keys.reserve(snapshot.rows());
    for (int r = 1; r < snapshot.rows(); ++r) {
        const QStringView key = snapshot.textView(r, column::Key);
        if (runordermerge::isStarterKey(key))
            keys.insert(keyHash(key));
    }
    return keys;
}

void ChangeMarks::addBatch(Batch batch)
{
    if (!batch.columns.isEmpty())
        m_batches.push_back(std::move(batch));
    scheduleExpiry();
}

void ChangeMarks::listRebuilt()
{
    // The whole list read anew (the start, another class): nothing on it is news against the ring's list.
    m_batches.clear();
    m_sent = false;
    m_sentKeys.clear();
    m_sentMarks.clear();
    m_officeKeys = officeKeys();
    m_expiry->stop();
    emit changed();
}

void ChangeMarks::listReplaced()
{
    Batch batch { m_station.clock().now().addSecs(markSeconds), {} };
    QSet<size_t> keys = officeKeys();
    for (const size_t key : std::as_const(keys)) {
        if (!m_officeKeys.contains(key))
            batch.columns[key] |= wholeRow;
    }
    m_officeKeys = std::move(keys);
    // The office's list is what the ring works from now; what was sent is behind it.
    m_sent = false;
    m_sentKeys.clear();
    m_sentMarks.clear();
    addBatch(std::move(batch));
    emit changed();
}

void ChangeMarks::listMerged()
{
    const GridTable& working = m_station.working();
    const std::vector<runordermerge::ChangedCell>& cells = m_station.loader().mergedCells();
    Batch batch { m_station.clock().now().addSecs(markSeconds), {} };
    batch.columns.reserve(qsizetype(cells.size()));
    // The cells come row by row: each starter's key is hashed once.
    int lastRow = -1;
    quint16* columns = nullptr;
    for (const runordermerge::ChangedCell& cell : cells) {
        if (cell.row < 1 || cell.row >= working.rows() || cell.col < 0 || cell.col >= 15)
            continue;
        if (cell.row != lastRow) {
            lastRow = cell.row;
            columns = &batch.columns[keyHash(working.textView(cell.row, column::Key))];
        }
        *columns |= quint16(1u << cell.col);
    }
    // A merge that changed no text (the office saved the same list again) leaves the screen alone.
    if (batch.columns.isEmpty())
        return;
    addBatch(std::move(batch));
    emit changed();
}

void ChangeMarks::sendWritten()
{
    const GridTable& working = m_station.working();
    m_sentKeys.assign(size_t(std::max(0, working.rows())), 0);
    m_sentMarks.assign(m_sentKeys.size(), false);
    for (int r = 1; r < working.rows(); ++r) {
        m_sentKeys[size_t(r)] = keyHash(working.textView(r, column::Key));
        m_sentMarks[size_t(r)] = working.textView(r, column::Mark) == notStartedMark;
    }
    m_sent = true;
    emit changed();
}

void ChangeMarks::scheduleExpiry()
{
    if (m_batches.empty()) {
        m_expiry->stop();
        return;
    }
    // A moment after the oldest batch ends by the station's clock; a clock that stands still (in a test) only
    // brings the timer back later.
    const qint64 wait = m_station.clock().now().msecsTo(m_batches.front().until);
    m_expiry->start(int(std::clamp<qint64>(wait + 50, 50, qint64(markSeconds) * 1000 + 50)));
}

void ChangeMarks::expire()
{
    const QDateTime now = m_station.clock().now();
    const auto over = std::find_if(m_batches.begin(), m_batches.end(), [&](const Batch& b) { return b.until > now; });
    const bool removed = over != m_batches.begin();
    m_batches.erase(m_batches.begin(), over);
    scheduleExpiry();
    if (removed)
        emit changed();
}

bool ChangeMarks::hasOfficeChanges() const
{
    return !m_batches.empty();
}

quint16 ChangeMarks::markedColumns(int row) const
{
    if (m_batches.empty())
        return 0;
    const GridTable& working = m_station.working();
    if (row < 1 || row >= working.rows())
        return 0;
    const size_t key = keyHash(working.textView(row, column::Key));
    const QDateTime now = m_station.clock().now();
    quint16 marked = 0;
    for (const Batch& batch : m_batches) {
        if (batch.until > now)
            marked |= batch.columns.value(key, 0);
    }
    return marked;
}

bool ChangeMarks::officeChanged(int row, int col) const
{
    const quint16 marked = markedColumns(row);
    return (marked & wholeRow) || (col >= 0 && col < 15 && (marked & (1u << col)));
}

bool ChangeMarks::officeAdded(int row) const
{
    return markedColumns(row) & wholeRow;
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
    return r >= m_sentKeys.size() || m_sentKeys[r] != keyHash(key)
        || m_sentMarks[r] != (working.textView(row, column::Mark) == notStartedMark);
}
