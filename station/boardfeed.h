#pragma once

#include "boardcontent.h"

#include <QObject>
#include <QPointer>

class QTimer;
class Station;

// The rider board's link to the station: it keeps what the board shows (BoardContent) up to date with the
// ring's list, the starter in the ring, the class's title and whether the list is shown, up to date or not,
// and with the ring's pace (the expected times, "x van y", the expected end), which also follows the clock.
// A burst of changes (a held move, a re-read) is gathered into one refresh a moment later, well within the
// second the board may lag; the refresh reads only the rows the board reaches. It knows no widget: the board
// paints what it gives.
class BoardFeed : public QObject
{
    Q_OBJECT

public:
    // How long after a change the board is refreshed, in ms: every change within it comes in one refresh.
    static constexpr int delay = 150;
    // How often the board looks at the clock: the expected times follow "now" while a round runs long.
    static constexpr int clockInterval = 15000;

    explicit BoardFeed(Station& station, QObject* parent = nullptr);

    const BoardContent& content() const { return m_content; }
    // Works the content out now (the views' first paint, tests).
    void refresh();
    bool isPending() const;

signals:
    void contentChanged(const BoardContent& content);

private:
    void refreshSoon();

    QPointer<Station> m_station;
    QTimer* m_timer = nullptr;
    QTimer* m_clockTimer = nullptr;
    BoardContent m_content;
};
