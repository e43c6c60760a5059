#include "keycommands.h"

#include "flexgrid.h"
#include "station.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

KeyCommands::KeyCommands(QWidget* window, FlexGrid* grid, Station& station, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_grid(grid)
    , m_station(station)
{
    setObjectName(QStringLiteral("keyCommands"));
    m_releaseTimer = new QTimer(this);
    m_releaseTimer->setObjectName(QStringLiteral("keyReleaseTimer"));
    m_releaseTimer->setSingleShot(true);
    m_releaseTimer->setInterval(repeatWait);
    // No press followed: the key was let go.
    connect(m_releaseTimer, &QTimer::timeout, this, &KeyCommands::letGo);
    // The application's filter sees a key before the focused widget (the grid, a button) and before the
    // shortcuts are tried; it looks at this window's keys only.
    qApp->installEventFilter(this);
    // The focus going to another window (a message box, the open dialog, a menu, the rider board, another
    // program) ends a held move: its release would go there.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == m_window)
            return;
        // Its release goes elsewhere now.
        letGo();
    });
}

KeyCommands::~KeyCommands()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool KeyCommands::isMoving() const
{
    return m_moving && m_station.heldMove().has_value();
}

std::optional<regels::Richting> KeyCommands::moveOf(const QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return std::nullopt;
    if (event->key() == Qt::Key_Up)
        return regels::Richting::Omhoog;
    if (event->key() == Qt::Key_Down)
        return regels::Richting::Omlaag;
    return std::nullopt;
}

std::optional<KeyboardSelection::Step> KeyCommands::stepOf(int key)
{
    using Step = KeyboardSelection::Step;
    switch (key) {
    case Qt::Key_Up:
        return Step::LineUp;
    case Qt::Key_Down:
        return Step::LineDown;
    case Qt::Key_PageUp:
        return Step::PageUp;
    case Qt::Key_PageDown:
        return Step::PageDown;
    case Qt::Key_Home:
        return Step::First;
    case Qt::Key_End:
        return Step::Last;
    default:
        return std::nullopt;
    }
}

bool KeyCommands::inWindow(QObject* watched) const
{
    return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == m_window;
}

bool KeyCommands::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (inWindow(watched)) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Taken as a key press, not as the menu item's shortcut (see the class comment).
            if (moveOf(key) || (m_heldKey != 0 && key->key() == m_heldKey)) {
                event->accept();
                return true;
            }
        }
        break;
    case QEvent::KeyPress:
        if (inWindow(watched))
            return keyPress(watched, static_cast<QKeyEvent*>(event));
        break;
    case QEvent::KeyRelease:
        if (inWindow(watched))
            return keyRelease(static_cast<QKeyEvent*>(event));
        break;
    case QEvent::WindowDeactivate:
        if (watched == m_window)
            letGo();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool KeyCommands::keyPress(QObject* target, QKeyEvent* event)
{
    if (m_heldKey != 0 && event->key() == m_heldKey) {
        // A release just before it was the key's repeat: the key is still held, the run goes on.
        if (m_releaseTimer->isActive()) {
            m_releaseTimer->stop();
            m_station.resumeMove();
            return true;
        }
        if (event->isAutoRepeat())
            return true;
        // A new press: the release of the last one went elsewhere.
        m_heldKey = 0;
    }
    if (const std::optional<regels::Richting> richting = moveOf(event)) {
        m_heldKey = event->key();
        // A repeat whose press this window never saw (the key was held when the focus came back) starts
        // nothing; nor does a key while a move button is held.
        if (event->isAutoRepeat() || m_station.heldMove())
            return true;
        m_moving = true;
        // The station refuses what the permissions or the list forbid, as it does for the buttons.
        m_station.pressMove(*richting);
        return true;
    }
    if (target != m_grid)
        return false;

    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const std::optional<KeyboardSelection::Step> step = stepOf(event->key());
    if (step && (modifiers & Qt::ShiftModifier)) {
        m_station.selectieUitbreiden(*step);
        return true;
    }
    // The selection is of whole rows: Shift with Left or Right widens nothing (the grid alone would light
    // cells of a row that NG and the swap then ignore).
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && (modifiers & Qt::ShiftModifier))
        return true;
    if (step && modifiers == Qt::AltModifier) {
        m_station.cursorVerplaatsen(*step);
        return true;
    }
    if (event->key() == Qt::Key_Space && modifiers == Qt::ControlModifier) {
        m_station.selectieWisselen();
        return true;
    }
    // The digit as the keyboard writes it, so that layouts with the digits under Shift work as well.
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isDigit()
        && !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        m_station.typNummer(text.at(0), qint64(event->timestamp()));
        return true;
    }
    return false;
}

bool KeyCommands::keyRelease(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return m_heldKey != 0 && event->key() == m_heldKey;
    if (m_heldKey != 0 && event->key() == m_heldKey) {
        // The window system sends a held key's repeats as a release and a press at the same instant, and does not
        // always mark them as repeats: the release counts once no press has followed it. Meanwhile the line makes
        // no step, so a real release never lets it move on.
        if (m_moving) {
            m_station.suspendMove();
            m_releaseTimer->start();
        } else {
            m_heldKey = 0;
        }
    } else if (event->key() == Qt::Key_Control) {
        // Ctrl let go: the move ends. When the arrow was let go just before, that was its real release; else
        // its repeats stay swallowed until it is let go too.
        if (m_releaseTimer->isActive())
            m_heldKey = 0;
        endMove();
    }
    // The release goes on to the grid, whose KeyUp clears the modifiers it recorded.
    return false;
}

void KeyCommands::letGo()
{
    m_heldKey = 0;
    endMove();
}

void KeyCommands::endMove()
{
    m_releaseTimer->stop();
    if (!m_moving)
        return;
    m_moving = false;
    m_station.releaseMove();
}
