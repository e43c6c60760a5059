#pragma once

#include "knoppen.h"
#include "regels.h"
#include "station.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

class BeeldMenu;
class EditMenu;
class FlexGrid;
class GridZoom;
class HelpMenu;
class LogboekVenster;
class HoldButton;
class KeyCommands;
class MutatieIndicator;
class RiderBoard;
class StatusLine;
class WheelHook;
struct WindowSettings;

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QStyle;
class QWidget;

// The station's main window: the running-order grid under the title, date and start-time labels, the
// button strip, the move and edit buttons, the status line and the menus. It is a view of the station object,
// which holds the state, the grids' data and the timers and runs every flow: the window builds its widgets
// from the table of controls, forwards the official's input to the station, shows what the station says
// (caption, labels, buttons, the change indicator, the status line, messages) and owns what only a window can
// do: the open dialog, message boxes, the strip at the window's width and the sunlight's colours. Its jobs of
// their own are parts it holds: the grid's layout and zoom (GridZoom), the Bewerken, Beeld and Help menus
// (EditMenu, BeeldMenu, HelpMenu), the keys beyond the menus (KeyCommands) and the mouse-wheel hook
// (WheelHook); the Bestand menu shows the day log in a window of the station's own. At the first start the
// window fills the screen and sizes the list to read from a distance; later it comes back where and as large
// as the official left it.
class FrmBaldovenaar : public QMainWindow
{
    Q_OBJECT

public:
    struct Options
    {
        // The splash is shown at load; tests leave it out.
        bool showSplash = true;
        // The open dialog; returns the chosen path, or nothing when cancelled. Qt's own dialog when not given.
        std::function<std::optional<QString>(const QString& title, const QString& folder, const QString& filter)>
            chooseFile;
        // Shows a message to the official (OK only); a modal message box when not given.
        std::function<void(const QString& text)> showMessage;
        // Asks the official a yes-or-no question (No the default); a modal message box when not given.
        std::function<bool(const QString& text)> askQuestion;
        // With no saved place the window starts maximised, as a program used all day should; tests that
        // size the window themselves leave it out.
        bool maximiseAtFirstStart = true;
    };

    explicit FrmBaldovenaar(Station& station, QWidget* parent = nullptr);
    FrmBaldovenaar(Station& station, Options options, QWidget* parent = nullptr);
    ~FrmBaldovenaar() override;

    Station& station() const { return m_station; }

    // The load handler: wheel hook, folders and settings, splash, the first (forced) read; then Timer1.
    void Form_Load();
    // The unload handler: the station's close (mutation clean-up, settings), wheel unhook. Once, at close.
    void Form_Unload();
    bool isUnloaded() const { return m_station.isUnloaded(); }
    // The station is asked to stop from outside (a shutdown, `kill`, Ctrl+C; see platform::StopSignals):
    // an open message box or dialog is answered as with Escape, then the window closes through its normal
    // unload, as when the official closes it, so the settings are saved and the class's mutation files go.
    void stop();

    // The open command: the dialog between the station's two halves of the open flow. First asks, when the
    // office has not taken all of the ring's work in.
    void kiesbestand();
    // Bestand > Logboek openen: today's day log in the log window; the window, once it was opened.
    void openLogboek();
    LogboekVenster* logboek() const { return m_logboek; }
    void mnuBestandSub_Click(int index);
    void btnKnop_Click(knoppen::Knop knop);
    void btnVerplaatsregels_MouseDown(regels::Richting richting) { m_station.pressMove(richting); }
    void btnVerplaatsregels_MouseUp();

    // Beeld > Ruiterscherm: opens the rider board (full screen on a second screen when there is one), or
    // closes it; nothing while the window is not loaded. The board, once it was opened.
    void toggleRuiterscherm();
    RiderBoard* ruiterscherm() const;

    // The strip at the window's width, then the grid's layout and zoom.
    void Form_Resize();
    GridZoom& gridZoom() const { return *m_zoom; }
    BeeldMenu& beeldMenu() const { return *m_beeldMenu; }
    HelpMenu& helpMenu() const { return *m_helpMenu; }

    // Beeld > Zonlicht: the sunlight mode, saved at once.
    void setZonlicht(bool on);
    bool isZonlicht() const { return m_zonlicht; }

    // Design sizes of the client area, in twips.
    static constexpr int designClientWidth = 13725;
    static constexpr int designClientHeight = 9120;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void showStatus(const StationStatus& status);
    // Why the class would be left: the window closes, or the official opens another class.
    enum class Leaving { Close, OpenAnother };
    bool mayLeaveTheClass(Leaving leaving);
    bool askQuestion(const QString& text);
    void connectStation();
    // The view's own helpers: the window's place and settings, the sunlight.
    void applyWindowSettings(const WindowSettings& settings);
    void applyZonlicht(bool on);
    // The keyboard back in the list, after a button, a dialog, a message or the rider board.
    void keepKeyboardInList();
    QPushButton* styleButton(QPushButton* button);
    // The wheel over the window's controls (WheelHook), hooked from the load to the close.
    void buildWheelHook();
    void showMessage(const QString& text);
    void setButtons(const Station::Buttons& buttons);
    // The keyboard: the Bewerken menu's commands with their keys, Ctrl+O, and the keys beyond the menus.
    void buildKeyboardCommands();

    Station& m_station;
    Options m_options;

    QStyle* m_buttonStyle = nullptr;
    QWidget* m_client = nullptr;
    QWidget* m_picture1 = nullptr;
    std::array<QFrame*, 4> m_lines {}; // Line1..Line4
    std::array<QPushButton*, 6> m_btnKnop {};
    std::array<HoldButton*, 2> m_btnVerplaatsregels {};
    MutatieIndicator* m_lblMutatie = nullptr;
    QLabel* m_lblTitel = nullptr;
    QLabel* m_lblDatum = nullptr;
    QLabel* m_lblBegintijd = nullptr;
    FlexGrid* m_grid1View = nullptr;
    StatusLine* m_statusLine = nullptr;
    QWidget* m_picTemp = nullptr;
    QMenu* m_mnuBestand = nullptr;
    std::array<QAction*, 4> m_mnuBestandSub {}; // 0, 2 and 3; no index 1
    QAction* m_mnuLogboek = nullptr;
    QMenu* m_mnuBewerken = nullptr;
    EditMenu* m_editMenu = nullptr;
    BeeldMenu* m_beeldMenu = nullptr;
    HelpMenu* m_helpMenu = nullptr;

    // The client area the window had at the last close (normal state), to come back to; nothing at the first
    // start.
    std::optional<QRect> m_savedGeometry;
    bool m_zonlicht = false;
    int m_lblMutatieWidth = 0; // as designed; wider in the sunlight, for its words

    // The grid's layout and zoom, the keys beyond the menus, the wheel, and the day log's window.
    GridZoom* m_zoom = nullptr;
    KeyCommands* m_keyCommands = nullptr;
    WheelHook* m_wheelHook = nullptr;
    LogboekVenster* m_logboek = nullptr;
    // Asked to stop from outside: the close asks nothing, the journal keeps the ring's work.
    bool m_stopping = false;
    bool m_loaded = false;
    bool m_shownOnce = false;
};
