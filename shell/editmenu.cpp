#include "editmenu.h"

#include "menuaction.h"

EditMenu::EditMenu(QMenu* bewerken, Station& station)
    : QObject(bewerken)
{
    m_ongedaanMaken = addMenuAction(bewerken, QStringLiteral("mnuOngedaanMaken"), QStringLiteral("&Ongedaan maken"),
        { QKeySequence(Qt::CTRL | Qt::Key_Z) });
    m_opnieuw = addMenuAction(bewerken, QStringLiteral("mnuOpnieuw"), QStringLiteral("Opn&ieuw"),
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    bewerken->addSeparator();
    m_opnieuwToepassen
        = addMenuAction(bewerken, QStringLiteral("mnuOpnieuwToepassen"), QStringLiteral("Opnieuw &toepassen"), {});
    bewerken->addSeparator();
    m_verplaats[size_t(regels::Richting::Omhoog)] = addMenuAction(bewerken, QStringLiteral("mnuVerplaatsOmhoog"),
        QStringLiteral("Verplaats rij om&hoog"), { QKeySequence(Qt::CTRL | Qt::Key_Up) });
    m_verplaats[size_t(regels::Richting::Omlaag)] = addMenuAction(bewerken, QStringLiteral("mnuVerplaatsOmlaag"),
        QStringLiteral("Verplaats rij om&laag"), { QKeySequence(Qt::CTRL | Qt::Key_Down) });
    m_wissel = addMenuAction(bewerken, QStringLiteral("mnuWissel"), QStringLiteral("&Wissel 2 rijen om"),
        { QKeySequence(Qt::CTRL | Qt::Key_W) });
    m_nietGestart = addMenuAction(bewerken, QStringLiteral("mnuNietGestart"),
        QStringLiteral("Meld als \"&Niet Gestart\""), { QKeySequence(Qt::CTRL | Qt::Key_N) });
    bewerken->addSeparator();
    // Enter beside the letters and on the keypad.
    m_verzenden = addMenuAction(bewerken, QStringLiteral("mnuVerzenden"), QStringLiteral("&Verzend wijziging"),
        { QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter) });

    connect(m_ongedaanMaken, &QAction::triggered, &station, &Station::ongedaanMaken);
    connect(m_opnieuw, &QAction::triggered, &station, &Station::opnieuw);
    connect(m_opnieuwToepassen, &QAction::triggered, &station, &Station::opnieuwToepassen);
    for (const regels::Richting richting : { regels::Richting::Omhoog, regels::Richting::Omlaag }) {
        connect(m_verplaats[size_t(richting)], &QAction::triggered, &station,
            [&station, richting] { station.verplaatsregel(richting); });
    }
    connect(m_wissel, &QAction::triggered, &station, &Station::wisselrijen);
    connect(m_nietGestart, &QAction::triggered, &station, &Station::wisselnietgestart);
    connect(m_verzenden, &QAction::triggered, &station, &Station::verzendmutatie);
    connect(&station, &Station::buttonsChanged, this, &EditMenu::enable);
    enable(station.buttons());
}

void EditMenu::enable(const Station::Buttons& buttons)
{
    m_ongedaanMaken->setEnabled(buttons.ongedaanMaken);
    m_opnieuw->setEnabled(buttons.opnieuw);
    m_opnieuwToepassen->setEnabled(buttons.opnieuwToepassen);
    for (QAction* action : m_verplaats)
        action->setEnabled(buttons.volgorde);
    m_wissel->setEnabled(buttons.volgorde);
    m_nietGestart->setEnabled(buttons.nietGestart);
    m_verzenden->setEnabled(buttons.verzenden);
}
