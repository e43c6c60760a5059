#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QWidget;
class RiderBoard;
class Station;

// The rider board's commands at the bottom of the main window's Beeld menu: the board opened (full screen on a
// second screen when there is one) or closed, full screen or not, and the ring pointer moved on or back. It
// creates the board at its first opening and keeps it; the board takes the same keys when the official has
// clicked it.
class BoardCommands : public QObject
{
public:
    using AddAction = std::function<QAction*(
        QMenu* menu, const QString& name, const QString& text, const QList<QKeySequence>& keys)>;

    // `keyboardHome` gives the keyboard back to the official's list after the board opened or closed.
    BoardCommands(QWidget& window, Station& station, QMenu* beeld, const AddAction& addAction,
        std::function<void()> keyboardHome);

    // Opens the board, or closes it when it is open.
    void toggle();
    // The board goes with the window (it stays created).
    void close();
    RiderBoard* board() const { return m_board; }

private:
    void enable();

    QWidget& m_window;
    Station& m_station;
    std::function<void()> m_keyboardHome;
    RiderBoard* m_board = nullptr;
    QAction* m_ruiterscherm = nullptr;
    QAction* m_schermvullend = nullptr;
    QAction* m_volgende = nullptr;
    QAction* m_vorige = nullptr;
};
