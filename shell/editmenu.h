#pragma once

#include "regels.h"
#include "station.h"

#include <QObject>
#include <array>
#include <functional>

class QAction;
class QMenu;

// The main window's Bewerken menu: undo and redo, "Opnieuw toepassen" and its counterpart that lets the replaced
// work go (after asking), and every command of the buttons with
// its key (the moves, the swap, NG, the send), each enabled as the station's buttons say. The move items move
// once when chosen; their keys, held, repeat as a held button does (KeyCommands takes them).
class EditMenu : public QObject
{
public:
    // `ask` puts a yes-or-no question to the official (before work is let go).
    EditMenu(QMenu* bewerken, Station& station, std::function<bool(const QString&)> ask);

private:
    void enable(const Station::Buttons& buttons);

    QAction* m_ongedaanMaken = nullptr;
    QAction* m_opnieuw = nullptr;
    QAction* m_opnieuwToepassen = nullptr;
    QAction* m_vergeten = nullptr;
    std::array<QAction*, 2> m_verplaats {}; // regels::Richting
    QAction* m_wissel = nullptr;
    QAction* m_nietGestart = nullptr;
    QAction* m_verzenden = nullptr;
};
