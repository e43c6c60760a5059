#pragma once

#include "appstate.h"
#include "colourtable.h"
#include "gridtable.h"
#include "holdbutton.h"
#include "knoppen.h"
#include "runorderloader.h"
#include "runorderview.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class FlexGrid;

class QAction;
class QEvent;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QStyle;
class QTimer;
class QWidget;
namespace platform {
class Clock;
}

// The station's main window: the running-order grid under the title, date and start-time labels, the
// button strip, the move and edit buttons, the File menu and the five-second re-read timer. It owns the
// application state and the three grids (grid(1) shown, grid(2) the snapshot of the file, grid(3) the
// scratch list of a periodic read) and wires the controls to the routines that do the work; those
// routines live in QtCore classes of their own.
class FrmBaldovenaar : public QMainWindow, private RunOrderView
{
    Q_OBJECT

public:
    struct Options
    {
        // The splash is shown at load; tests leave it out.
        bool showSplash = true;
        // Where "today" comes from; the system clock when not given.
        platform::Clock* clock = nullptr;
        // The open dialog; returns the chosen path, or nothing when cancelled. Qt's own dialog when not given.
        std::function<std::optional<QString>(const QString& title, const QString& folder, const QString& filter)>
            chooseFile;
        // Shows a message to the official (OK only); a modal message box when not given.
        std::function<void(const QString& text)> showMessage;
        // How long a changed running-order file must stay the same before it is read (RunOrderLoader);
        // tests that write whole files before they read them may set 0.
        int settleTime = RunOrderLoader::defaultSettleTime;
    };

    explicit FrmBaldovenaar(QWidget* parent = nullptr);
    explicit FrmBaldovenaar(Options options, QWidget* parent = nullptr);
    ~FrmBaldovenaar() override;

    // The load handler: wheel hook, folders, settings, splash, grid set-up, the first (forced) read.
    // Timer1 starts once it is done.
    void Form_Load();
    // The unload handler: mutation clean-up, settings, wheel unhook. Run once, at close.
    void Form_Unload();
    bool isUnloaded() const { return m_unloaded; }
    // The station is asked to stop from outside (a shutdown, `kill`, Ctrl+C; see platform::StopSignals):
    // an open message box or dialog is answered as with Escape, then the window closes through its normal
    // unload, as when the official closes it, so the settings are saved and the class's mutation files go.
    void stop();

    void toonbestand(bool forceer);
    void kiesbestand();
    void Timer1_Timer();
    void mnuBestandSub_Click(int index);
    void btnKnop_Click(int index);

    // The ring's edits on grid(1).
    void btnVerplaatsregels_MouseDown(int index, int button);
    void btnVerplaatsregels_MouseUp(int index, int button);
    void TimerRegelsVerplaatsen_Timer();
    void verplaatsregel(const QString& direction);
    void wisselrijen();
    void wisselnietgestart();
    void verzendmutatie();

    // Layout and zoom.
    void Form_Resize();
    void adjust_grid(FlexGrid* grid);
    void zoomStep(double factor);

    // Row selection on grid(1).
    void grid_MouseDown(int index, int button, int shift, int x, int y);
    void grid_MouseUp(int index, int button, int shift, int x, int y);
    void grid_KeyDown(int index, int keyCode, int shift);
    void grid_KeyUp(int index, int keyCode, int shift);
    void grid_SelChange(int index);
    void GridMultiSelect_PaintRow(GridTable& grid, int row);

    AppState& state() { return m_state; }
    const AppState& state() const { return m_state; }
    // What finds and reads the followed file (tests reach its read hooks through it).
    RunOrderLoader& runOrderLoader() { return *m_loader; }
    // grid(1) to grid(3); index 0 does not exist.
    GridTable& gridTable(int index);
    FlexGrid* grid1() const { return m_grid1; }
    QPushButton* btnKnop(int index) const { return m_btnKnop.at(size_t(index)); }
    QPushButton* btnVerplaatsregels(int index) const { return m_btnVerplaatsregels.at(size_t(index)); }
    QLabel* lblMutatie() const { return m_lblMutatie; }
    QLabel* lblTitel() const { return m_lblTitel; }
    QLabel* lblDatum() const { return m_lblDatum; }
    QLabel* lblBegintijd() const { return m_lblBegintijd; }
    QWidget* picture1() const { return m_picture1; }
    QWidget* picTemp() const { return m_picTemp; }
    QWidget* clientArea() const { return m_client; }
    QTimer* timer1() const { return m_timer1; }
    QTimer* timerRegelsVerplaatsen() const { return m_timerRegelsVerplaatsen; }
    // Looks at a changed file again once it may have settled, sooner than Timer1 would.
    QTimer* settleTimer() const { return m_settleTimer; }
    // The direction the held arrow button repeats ("0" up, "1" down); empty when none is held.
    QString timerRegelsVerplaatsenTag() const { return m_verplaatsTag; }
    quint32 mutatieColour() const { return m_mutatieColour; }
    bool ShiftDown() const { return m_shiftDown; }
    bool CtrlDown() const { return m_ctrlDown; }

    // Design sizes of the client area, in twips.
    static constexpr int designClientWidth = 13725;
    static constexpr int designClientHeight = 9120;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // RunOrderView
    void setCaption(const QString& caption) override;
    void setGridVisible(bool visible) override;
    void setLabels(const QString& titel, const QString& datum, const QString& begintijd) override;
    void setMutatieColour(quint32 colour) override;
    void adjustGrid() override;
    void refreshSelection() override;
    void zetknoppen() override;
    void controleerwijzigingen() override;
    void lookAgainAfter(int milliseconds) override;

    void buildControls();
    void centreOnScreen();
    void buildMenu();
    QPushButton* makeButton(QWidget* container, const QString& name, int left, int top, int width, int height,
        QPushButton* button = nullptr);
    void setUpGrid(GridTable& grid);
    void ScrollMouse_HookForm();
    void ScrollMouse_UnhookForm();
    void GridMultiSelect_Refresh();
    void stopVerplaatsen();
    // The hourglass for the whole screen while it lives, or until restore().
    class BusyPointer
    {
    public:
        BusyPointer();
        ~BusyPointer();
        BusyPointer(const BusyPointer&) = delete;
        BusyPointer& operator=(const BusyPointer&) = delete;
        void restore();

    private:
        bool m_active = true;
    };
    void runWismutaties();
    void setEditButtonsEnabled(bool order, bool notStarted);
    void showMessage(const QString& text);

    Options m_options;
    std::unique_ptr<platform::Clock> m_ownClock;
    platform::Clock* m_clock = nullptr;
    AppState m_state;
    GridTable* m_grid2 = nullptr;
    GridTable* m_grid3 = nullptr;
    GridTable* m_grid1Table = nullptr;
    std::unique_ptr<RunOrderLoader> m_loader;
    knoppen::SendRuleTracker m_sendRule;

    QStyle* m_buttonStyle = nullptr;
    QWidget* m_client = nullptr;
    QWidget* m_picture1 = nullptr;
    std::array<QFrame*, 4> m_lines {}; // Line1..Line4
    std::array<QPushButton*, 6> m_btnKnop {};
    std::array<HoldButton*, 2> m_btnVerplaatsregels {};
    QLabel* m_lblMutatie = nullptr;
    QLabel* m_lblTitel = nullptr;
    QLabel* m_lblDatum = nullptr;
    QLabel* m_lblBegintijd = nullptr;
    FlexGrid* m_grid1 = nullptr;
    QWidget* m_picTemp = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timerRegelsVerplaatsen = nullptr;
    QTimer* m_settleTimer = nullptr;
    QString m_verplaatsTag;
    QMenu* m_mnuBestand = nullptr;
    std::array<QAction*, 4> m_mnuBestandSub {}; // 0, 2 and 3; no index 1
    QAction* m_mnuHelp = nullptr;

    quint32 m_mutatieColour = colours::white;
    bool m_shiftDown = false;
    bool m_ctrlDown = false;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_shownOnce = false;
    bool m_wheelHooked = false;
};
