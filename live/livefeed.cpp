#include "livefeed.h"

#include "boardfeed.h"
#include "livestand.h"
#include "station.h"

#include <QDateTime>
#include <QTimer>

LiveFeed::LiveFeed(Station& station, QObject* parent)
    : QObject(parent)
    , m_station(&station)
    , m_run(QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 36))
{
    m_board = new BoardFeed(station, this);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(delay);
    connect(m_timer, &QTimer::timeout, this, &LiveFeed::refresh);

    // The board's feed hears every change of what it shows; the whole order also changes below the board's
    // reach, so the grid's own signals count too.
    const GridTable* working = &station.working();
    connect(working, &QAbstractItemModel::dataChanged, this, &LiveFeed::refreshSoon);
    connect(working, &QAbstractItemModel::modelReset, this, &LiveFeed::refreshSoon);
    connect(working, &QAbstractItemModel::rowsInserted, this, &LiveFeed::refreshSoon);
    connect(working, &QAbstractItemModel::rowsRemoved, this, &LiveFeed::refreshSoon);
    connect(&station, &Station::ringChanged, this, &LiveFeed::refreshSoon);
    connect(&station, &Station::labelsChanged, this, &LiveFeed::refreshSoon);
    connect(&station, &Station::listStateChanged, this, &LiveFeed::refreshSoon);
    connect(&station, &Station::statusChanged, this, &LiveFeed::refreshSoon);
    refresh();
}

bool LiveFeed::isPending() const
{
    return m_timer->isActive();
}

void LiveFeed::refreshSoon()
{
    if (!m_timer->isActive())
        m_timer->start();
}

void LiveFeed::refresh()
{
    m_timer->stop();
    if (!m_station)
        return;
    const Station& station = *m_station;
    m_board->refresh();
    const LiveStandHeader header { station.datum(), station.begintijd() };
    const int ringRow = m_board->content().shown ? station.ringPointer().row() : -1;
    QByteArray json = liveStandJson(m_board->content(), station.working(), ringRow, header, m_version + 1);
    // The version leads the text: what follows its comma is the order itself.
    const auto body = [](const QByteArray& text) { return QByteArrayView(text).sliced(text.indexOf(',')); };
    if (!m_json.isEmpty() && body(json) == body(m_json))
        return;
    ++m_version;
    m_json = std::move(json);
    m_etag = '"' + m_run + '-' + QByteArray::number(m_version) + '"';
    emit changed();
}
