#pragma once

#include <QObject>
#include <functional>

class HandleidingVenster;
class QMenuBar;
class QString;
class QWidget;

// The main window's Help menu: Handleiding (F1) shows the ring official's guide in the guide window, created at
// its first opening and kept; Over Baldovenaar names the program, its version and its job. A guide that cannot
// be found or read is told to the official, with where it was looked for, so a missing file is a message and
// never an empty window.
class HelpMenu : public QObject
{
public:
    // `tell` shows a message to the official; `about`, when given, shows the program's description in its
    // place (tests), else it is Qt's about box.
    HelpMenu(QMenuBar& bar, QWidget& window, std::function<void(const QString&)> tell,
        std::function<void(const QString&)> about);

    void openHandleiding();
    HandleidingVenster* handleiding() const { return m_handleiding; }
    void overBaldovenaar();
    // The guide goes with the window (it stays created).
    void close();

private:
    QWidget& m_window;
    std::function<void(const QString&)> m_tell;
    std::function<void(const QString&)> m_about;
    HandleidingVenster* m_handleiding = nullptr;
};
