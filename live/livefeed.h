#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

class BoardFeed;
class QTimer;
class Station;

// The live page's link to the station: it keeps the order's JSON (liveStandJson) up to date with the ring's
// list, the starter in the ring, the class's labels and whether the list is up to date, as the rider board's
// feed does for the board. A burst of changes (a held move, a re-read) comes in one rebuild a moment later, so
// the JSON is built once per change and every request is answered from the bytes already built.
//
// Each build that changes the order gets the next version; its entity tag names this run of the station as
// well, so a page left open across a restart never takes another list for the one it has.
class LiveFeed : public QObject
{
    Q_OBJECT

public:
    // How long after a change the JSON is built again, in ms: the page asks once a second, so a change reaches
    // it within the two seconds it may lag.
    static constexpr int delay = 150;

    explicit LiveFeed(Station& station, QObject* parent = nullptr);

    QByteArray json() const { return m_json; }
    // The entity tag of the JSON, quotes included, as the ETag and If-None-Match headers carry it.
    QByteArray etag() const { return m_etag; }
    quint64 version() const { return m_version; }

    // Builds the JSON now (start, tests).
    void refresh();
    bool isPending() const;

signals:
    void changed();

private:
    void refreshSoon();

    QPointer<Station> m_station;
    BoardFeed* m_board = nullptr;
    QTimer* m_timer = nullptr;
    QByteArray m_run;
    quint64 m_version = 0;
    QByteArray m_json;
    QByteArray m_etag;
};
