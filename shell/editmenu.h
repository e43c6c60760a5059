#pragma once

#include "regels.h"
#include "station.h"

#include <QObject>
#include <array>

class QAction;
class QMenu;

// The main window's Bewerken menu: undo and redo, "Opnieuw toepassen", and every command of the buttons with
// its key (the moves, the swap, NG, the send), each enabled as the station's buttons say. The move items move
// once when chosen; their keys, held, repeat as a held button does (KeyCommands takes them).
class EditMenu : public QObject
{
public:
    EditMenu(QMenu* bewerken, Station& station);

private:
    void enable(const Station::Buttons& buttons);

    QAction* m_ongedaanMaken = nullptr;
    QAction* m_opnieuw = nullptr;
    QAction* m_opnieuwToepassen = nullptr;
    std::array<QAction*, 2> m_verplaats {}; // regels::Richting
    QAction* m_wissel = nullptr;
    QAction* m_nietGestart = nullptr;
    QAction* m_verzenden = nullptr;
};
