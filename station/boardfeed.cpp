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
    // The expected times move on with the clock while a round runs long.
    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("boardClockTimer"));
    m_clockTimer->setInterval(clockInterval);
    connect(m_clockTimer, &QTimer::timeout, this, &BoardFeed::refreshSoon);
    m_clockTimer->start();
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
    if (state != ListState::Empty) {
        const int ring = station.ringPointer().row();
        const QDateTime now = station.now();
        ExpectedTimes times = station.classPace().expectedTimes(station.working(), ring, now);
        content = boardContent(station.working(), ring, &station.placeTimes(), &times);
        content.progress = station.classPace().progress(station.working(), ring, now);
    }
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
