#include "beeldmenu.h"

#include "boardcommands.h"
#include "gridlayout.h"
#include "gridzoom.h"
#include "livecommands.h"
#include "menuaction.h"

#include <QMenuBar>
#include <utility>

BeeldMenu::BeeldMenu(QMenuBar& bar, QWidget& window, Station& station, GridZoom& zoom,
    std::function<void(bool)> zonlicht, std::function<void()> keyboardHome)
    : QObject(&window)
{
    QMenu* menu = bar.addMenu(QStringLiteral("Bee&ld"));
    menu->setObjectName(QStringLiteral("mnuBeeld"));
    // The two "a" buttons' steps, and the fit of the names to the window. Ctrl+= too: the plus sign needs
    // Shift on most keyboards.
    QAction* kleiner = addMenuAction(
        menu, QStringLiteral("mnuKleiner"), QStringLiteral("&Kleiner"), { QKeySequence(Qt::CTRL | Qt::Key_Minus) });
    QAction* groter = addMenuAction(menu, QStringLiteral("mnuGroter"), QStringLiteral("&Groter"),
        { QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    QAction* passend = addMenuAction(
        menu, QStringLiteral("mnuPassend"), QStringLiteral("&Passend"), { QKeySequence(Qt::CTRL | Qt::Key_0) });
    menu->addSeparator();
    m_zonlicht = addMenuAction(menu, QStringLiteral("mnuZonlicht"), QStringLiteral("&Zonlicht"), {});
    m_zonlicht->setCheckable(true);
    connect(kleiner, &QAction::triggered, this, [&zoom, keyboardHome] {
        zoom.zoomStep(gridlayout::zoomOutFactor);
        keyboardHome();
    });
    connect(groter, &QAction::triggered, this, [&zoom, keyboardHome] {
        zoom.zoomStep(gridlayout::zoomInFactor);
        keyboardHome();
    });
    connect(passend, &QAction::triggered, &zoom, &GridZoom::passend);
    connect(m_zonlicht, &QAction::triggered, this, std::move(zonlicht));

    // The rider board's items at the bottom of the menu.
    m_board = new BoardCommands(window, station, menu, &addMenuAction, std::move(keyboardHome));
    // The live page, below the board: its code stands on the board, its problems in the status line.
    menu->addSeparator();
    m_live = new LiveCommands(station, *menu, window);
    m_board->setLiveUrl(m_live->url());
    connect(m_live, &LiveCommands::changed, this, [this] {
        emit liveChanged();
        m_board->setLiveUrl(m_live->url());
    });
}

void BeeldMenu::showZonlicht(bool on)
{
    m_zonlicht->setChecked(on);
}

void BeeldMenu::close()
{
    m_board->close();
    m_live->setOn(false);
}
