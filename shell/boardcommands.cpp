#include "boardcommands.h"

#include "riderboard.h"
#include "station.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <utility>

BoardCommands::BoardCommands(
    QWidget& window, Station& station, QMenu* beeld, const AddAction& addAction, std::function<void()> keyboardHome)
    : QObject(&window)
    , m_window(window)
    , m_station(station)
    , m_keyboardHome(std::move(keyboardHome))
{
    // At the bottom of the Beeld menu, below its zoom items.
    beeld->menuAction()->setVisible(true);
    beeld->addSeparator();
    m_ruiterscherm = addAction(beeld, QStringLiteral("mnuRuiterscherm"), QStringLiteral("&Ruiterscherm"),
        { QKeySequence(Qt::CTRL | Qt::Key_R) });
    m_ruiterscherm->setCheckable(true);
    m_schermvullend = addAction(beeld, QStringLiteral("mnuRuiterschermSchermvullend"),
        QStringLiteral("Ruiterscherm &schermvullend"), { QKeySequence(Qt::Key_F11) });
    m_volgende = addAction(beeld, QStringLiteral("mnuVolgendeInDeRing"), QStringLiteral("&Volgende in de ring"),
        { QKeySequence(Qt::Key_F8) });
    m_vorige = addAction(beeld, QStringLiteral("mnuVorigeInDeRing"), QStringLiteral("V&orige"),
        { QKeySequence(Qt::SHIFT | Qt::Key_F8) });
    connect(m_ruiterscherm, &QAction::triggered, this, &BoardCommands::toggle);
    connect(m_schermvullend, &QAction::triggered, this, [this] {
        if (m_board && m_board->isVisible())
            m_board->toggleFullScreen();
    });
    connect(m_volgende, &QAction::triggered, &m_station, &Station::volgendeInDeRing);
    connect(m_vorige, &QAction::triggered, &m_station, &Station::vorigeInDeRing);
    connect(&m_station, &Station::listStateChanged, this, &BoardCommands::enable);
    enable();
}

void BoardCommands::enable()
{
    const bool ring = m_station.ringMoves();
    m_volgende->setEnabled(ring);
    m_vorige->setEnabled(ring);
    m_schermvullend->setEnabled(m_board && m_board->isVisible());
}

void BoardCommands::toggle()
{
    if (m_station.isUnloaded())
        return;
    const bool wasActive = m_window.isActiveWindow();
    if (m_board && m_board->isVisible()) {
        m_board->close();
        // The keyboard was the official's all along; the window system may still hand it elsewhere.
        m_window.activateWindow();
        m_keyboardHome();
        return;
    }
    if (!m_board) {
        m_board = new RiderBoard(m_station, &m_window);
        m_board->setLiveUrl(m_liveUrl);
        // Its keys work on the board too, when the official has clicked it.
        m_board->addActions({ m_ruiterscherm, m_schermvullend, m_volgende, m_vorige });
        connect(m_board, &RiderBoard::shownChanged, this, [this](bool shown) {
            m_ruiterscherm->setChecked(shown);
            enable();
        });
    }
    m_board->open(m_window.screen());
    m_ruiterscherm->setChecked(m_board->isVisible());
    // The keyboard stays with the official, also where the window system activates every window it shows.
    if (wasActive)
        m_window.activateWindow();
    m_keyboardHome();
}

void BoardCommands::close()
{
    if (m_board)
        m_board->close();
}

void BoardCommands::setLiveUrl(const QString& url)
{
    m_liveUrl = url;
    if (m_board)
        m_board->setLiveUrl(url);
}
