#include "boardfeed.h"

#include "station.h"

#include <QTimer>

BoardFeed::BoardFeed(Station& station, QObject* parent)
    : QObject(parent)
    , m_station(&station)
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("boardTimer"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(delay);
    connect(m_timer, &QTimer::timeout, this, &BoardFeed::refresh);

    // Every change of the ring's list reaches the grid's data, whoever made it (an edit, an undo, a merge, a
    // replaced list), so the board listens there; with the grid's drawing off it hears once, at the end.
    const GridTable* working = &station.working();
    connect(working, &QAbstractItemModel::dataChanged, this, &BoardFeed::refreshSoon);
    connect(working, &QAbstractItemModel::modelReset, this, &BoardFeed::refreshSoon);
    connect(working, &QAbstractItemModel::rowsInserted, this, &BoardFeed::refreshSoon);
    connect(working, &QAbstractItemModel::rowsRemoved, this, &BoardFeed::refreshSoon);
    connect(&station, &Station::ringChanged, this, &BoardFeed::refreshSoon);
    connect(&station, &Station::labelsChanged, this, &BoardFeed::refreshSoon);
    connect(&station, &Station::listStateChanged, this, &BoardFeed::refreshSoon);
    // "Niet bijgewerkt sinds": the time the status line gives.
    connect(&station, &Station::statusChanged, this, &BoardFeed::refreshSoon);
    refresh();
}

bool BoardFeed::isPending() const
{
    return m_timer->isActive();
}

void BoardFeed::refreshSoon()
{
    if (!m_timer->isActive())
        m_timer->start();
}

void BoardFeed::refresh()
{
    m_timer->stop();
    if (!m_station)
        return;
    const Station& station = *m_station;
    const ListState state = station.listState();
    BoardContent content;
    if (state != ListState::Empty)
        content = boardContent(station.working(), station.ringPointer().row());
    content.titel = station.titel();
    content.shown = state != ListState::Empty;
    content.stale = state == ListState::Stale;
    if (content.stale)
        content.since = station.status().since;
    if (content == m_content)
        return;
    m_content = std::move(content);
    emit contentChanged(m_content);
}
