#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class LivePage;
class LiveQrDialog;
class QAction;
class QMenu;
class QWidget;
class SettingsStore;
class Station;

// The live page's commands in the window's Beeld menu: "Live pagina op het netwerk" turns it on and off (and
// is remembered for the next start), "QR-code van de live pagina…" shows the code and the address, where the
// official can also choose another of the machine's addresses. It starts the page at start-up when the setting
// says so. What it offers the window: the page's address for the rider board's code, and what went wrong for
// the status line.
class LiveCommands : public QObject
{
    Q_OBJECT

public:
    LiveCommands(Station& station, QMenu& menu, QWidget& window);
    ~LiveCommands() override;

    LivePage& page() const { return *m_page; }
    QAction* toggleAction() const { return m_toggle; }
    QAction* qrAction() const { return m_qr; }
    // The page's address while its server listens; empty otherwise.
    QString url() const;
    // A sentence for the status line when the page could not be started as asked; empty when all is well.
    QString problem() const;

    void setOn(bool on);
    void showQrDialog();

signals:
    void changed();

private:
    void chooseAddress(const QString& address);
    void updateActions();

    QWidget& m_window;
    LivePage* m_page = nullptr;
    QAction* m_toggle = nullptr;
    QAction* m_qr = nullptr;
    QPointer<LiveQrDialog> m_dialog;
};
