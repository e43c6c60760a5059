#pragma once

#include "appstate.h"
#include "classcourse.h"
#include "daylog.h"
#include "daylogtexts.h"
#include "editcommands.h"
#include "followlog.h"
#include "gridcontrol.h"
#include "gridtable.h"
#include "keyboardselection.h"
#include "knoppen.h"
#include "liststate.h"
#include "mutatiebestand.h"
#include "regels.h"
#include "ringkeeper.h"
#include "rowselection.h"
#include "runorderloader.h"
#include "sendtracker.h"
#include "stationstatus.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ChangeMarks;
class SettingsStore;
namespace platform {
class Clock;
}

// The station below its windows: the application state, the three grids' data (grid(1) the ring's
// working list, grid(2) the snapshot of the office's file, grid(3) the scratch list of a periodic read),
// the loader of the followed file and the timers. It conducts every flow, step by step: start-up's forced
// read, the five-second check, the open command once a file is chosen, moving (with the hold-to-repeat),
// swapping, marking, sending and the close. The jobs within the flows are done by parts of its own: the
// loader reads the office's list and reports what it found, the edit commands change the ring's list and say
// what they changed, the send tracker follows each send until the office takes it in, the keeper of the ring's
// work keeps the unsent work safe (journal, restore, offer), the class's course follows the starter in the ring,
// the pace and the crowded riders, and the row selection the official's mouse and keys. It is the one place that
// changes the station's state; the views read it through const accessors, ask for changes through its
// commands, and hear what happened through signals with plain data. It links no GUI library, so every flow is
// tested without a display.
//
// The grid's layout (font size, column widths) depends on the window's width and fonts, so it is the
// window's: layoutNeeded() asks for it, synchronously, once a read changed the list's texts, and the window
// answers with layOutGrid() before the current row and scroll position are put back.
class Station : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // Where "today" comes from and how the send pauses; the system clock when not given.
        platform::Clock* clock = nullptr;
        // How long a changed running-order file must stay the same before it is read (RunOrderLoader);
        // tests that write whole files before they read them may set 0.
        int settleTime = RunOrderLoader::defaultSettleTime;
        // The station's own data folder (journal, day log); the system's application data folder when empty.
        QString dataFolder;
        // How long a check waits for the shared folder, and how long the send button waits for its send to be
        // written, before the window goes on without the answer (collected later): the window never waits
        // longer, whatever the share does. Tests that want every answer at once may set them long.
        int checkTime = RunOrderLoader::defaultCheckTime;
        int sendWait = defaultSendWait;
        // How long a send may take before it is told as hanging.
        int hangTime = SendQueue::defaultHangTime;
        // The settings store shared with the office programs (the suite's folders, the last file, the zoom);
        // the user's own when not given.
        SettingsStore* settings = nullptr;
    };

    // Which commands can be used now: the file's permissions, the list shown, the unsent changes, the history.
    struct Buttons
    {
        bool volgorde = false; // the two move buttons and the swap
        bool nietGestart = false; // NG
        bool verzenden = false; // send
        bool ongedaanMaken = false; // undo
        bool opnieuw = false; // redo
        bool opnieuwToepassen = false; // put the ring's replaced work on the office's new list
        bool vergeten = false; // let the ring's replaced work go, unapplied
        friend bool operator==(const Buttons&, const Buttons&) = default;
    };

    using ListChange = RunOrderLoader::ListChange;

    // How long a send may wait for the office before the status line warns.
    static constexpr int stallSeconds = SendTracker::stallSeconds;
    // How long the send button waits for its send to be written before it leaves it to the queue.
    static constexpr int defaultSendWait = 30;
    // How long the close waits for the shared folder to take a send or clean-up still under way.
    static constexpr int closeWait = 5000;

    explicit Station(QObject* parent = nullptr);
    explicit Station(Options options, QObject* parent = nullptr);
    ~Station() override;

    // Start-up, before the splash: the suite's folders and the station's settings.
    void prepare();
    // Start-up, after the splash: the grids set up for a running order, the first (forced) read, then
    // Timer1 ticks every five seconds. Once.
    void start();
    // The close: the repeat stops, the class's mutation files go, the settings are saved. Once; every
    // flow does nothing after it.
    void unload();
    bool isStarted() const { return m_started; }
    bool isUnloaded() const { return m_unloaded; }

    // The check of the followed file: forced (start-up, a file chosen) or periodic.
    ListChange toonbestand(bool forceer);
    // Timer1's tick: a periodic check, unless a check is already under way.
    void Timer1_Timer();
    // The periodic checks stop until the next open or start (a test that drives the checks itself).
    void stopChecks()
    {
        m_timer1->stop();
        m_settleTimer->stop();
    }
    // Timer1's interval, for a test or a tool that looks more often than every five seconds.
    void setCheckInterval(int milliseconds) { m_timer1->setInterval(milliseconds); }

    // The open command, in two halves around the dialog the window shows. beginOpen stops the checks and
    // gives the folder the dialog starts in (the followed file's, or the shared folder); finishOpen takes
    // the chosen path (nothing when cancelled): the mutation files of the class followed so far go, the
    // new file is followed and read, forced, and the checks start again.
    QString beginOpen()
    {
        stopChecks();
        return m_state.bestandspad().isEmpty() ? m_state.gedeeldemap : m_state.bestandsmap();
    }
    void finishOpen(const std::optional<QString>& chosen);

    // Whether closing or opening another class would cost the official work: changes not sent yet, or a
    // send the office has not taken in (the clean-up removes it).
    bool hasUnsentWork() const
    {
        return m_status.unsent > 0 || m_sends.watch().isWatching() || m_keeper.offer().has_value();
    }

    // Moving the current line, with the repeat of a held move button: press moves once and starts the
    // repeat (300, 200, then every 100 ms); release ends it, as does a lost hold. Only with the reorder
    // permission and while the list is shown. A held run is one step of the history.
    void pressMove(regels::Richting richting);
    void releaseMove();
    void TimerRegelsVerplaatsen_Timer();
    std::optional<regels::Richting> heldMove() const { return m_edits.heldMove().held(); }
    // A held key's release that may be the key's own repeat (the window system sends a held key's repeats as a
    // release and a press, which it does not always mark): the held move makes no step until the key's next
    // press shows it still held (resumeMove) or it proves a real release (releaseMove).
    void suspendMove() { m_edits.heldMove().suspend(); }
    void resumeMove() { m_edits.heldMove().resume(); }
    bool isMoveSuspended() const { return m_edits.heldMove().isSuspended(); }
    // One move of the current line, as a press that is released at once.
    void verplaatsregel(regels::Richting richting)
    {
        pressMove(richting);
        releaseMove();
    }

    // The swap of the two selected lines; a refusal is told the official (message()).
    void wisselrijen();
    // NG: marks or unmarks the selected starters.
    void wisselnietgestart();
    // The send: the ring's list as it is now, written to both mutation files in the send queue's thread (in the
    // order the sends were made); a failure is told the official (message()). The result is the send's when it
    // was written within the send wait, else underWay.
    SendResult verzendmutatie();
    // Sends and clean-ups handed to the shared folder and not done yet.
    const SendQueue& sendQueue() const { return m_sends.queue(); }

    // Undo and redo of the moves, swaps and marks since the office's last list.
    void ongedaanMaken();
    void opnieuw();
    // Puts the ring's work that the office's new list replaced back on that list.
    void opnieuwToepassen();
    // Lets that work go without putting it back (the window asks the official first).
    void vergeetTeruggezetWerk();

    // The zoom factor (kept within 0.005..0.1); saved at the close.
    void setScale(double scale) { m_state.scale = scale; }

    // The official's row selection on grid(1): the grid's mouse and key events go here.
    void grid_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
    {
        m_selection.mouseDown(*m_working, button, modifiers);
    }
    void grid_MouseUp(Qt::MouseButton button) { m_selection.mouseUp(*m_working, button); }
    void grid_KeyDown(Qt::KeyboardModifiers modifiers) { m_selection.keyDown(modifiers); }
    void grid_KeyUp() { m_selection.keyUp(); }
    void grid_SelChange() { m_selection.selChange(*m_working); }
    bool ShiftDown() const { return m_selection.shiftDown(); }
    bool CtrlDown() const { return m_selection.ctrlDown(); }
    // Makes one row the current and only selected one, as a plain click on it does.
    void selectRow(int row) { m_selection.selectRow(*m_working, row); }
    // Adds a row to the selection, as a Ctrl-click on it does.
    void addToSelection(int row) { m_selection.addRow(*m_working, row); }

    // The official's keys on grid(1) beyond the grid's own, by the rules of the mouse's (KeyboardSelection):
    // Shift with the arrow keys extends the selection, Alt with them moves the current row alone, Ctrl+Space
    // adds or removes the current row, and digits typed jump to the starter with that back number (at
    // `timestamp`, the key event's time in ms; true when a starter was found).
    void selectieUitbreiden(KeyboardSelection::Step step) { m_selection.extend(*m_working, step); }
    void cursorVerplaatsen(KeyboardSelection::Step step) { m_selection.moveCurrent(*m_working, step); }
    void selectieWisselen() { m_selection.toggleCurrent(*m_working); }
    bool typNummer(QChar digit, qint64 timestamp)
    {
        return m_listState != ListState::Empty && m_selection.typeNumber(*m_working, digit, timestamp);
    }

    // The wheel over the grid: one row up (direction > 0) or down; false when the list cannot scroll so.
    bool scrollGrid(int direction) { return m_working->scrollOneRow(direction); }
    // The window's answer to layoutNeeded(): the font size and the width of each column (twips; none leaves a
    // column as it is).
    void layOutGrid(double fontSize, const std::vector<std::optional<int>>& columnWidths)
    {
        m_working->layOut(fontSize, columnWidths);
    }
    // The ring's list shown in the one control that shows it, which keeps its scroll position, page size, current
    // cell and selection in it, as the grid control did. Everything else reads working().
    void showIn(GridControl& control) { control.setTable(m_working); }

    // The starter in the ring, for the rider board and the marker in the grid: the official moves it on
    // ("Volgende in de ring") or back ("Vorige"), over the starters that ride. Openen puts it on the class's
    // first starter; it follows its starter through every edit and re-read (RingPointer).
    void volgendeInDeRing()
    {
        if (ringMoves())
            m_course.next();
    }
    void vorigeInDeRing()
    {
        if (ringMoves())
            m_course.previous();
    }
    const RingPointer& ringPointer() const { return m_course.ring(); }
    // The office's planned time of each place, as its last list gave them (the rider board's times).
    const PlaceTimes& placeTimes() const { return m_course.placeTimes(); }

    // A starter dragged by its Volg cell: the line of row `from` goes to the place the drag lands on
    // (landingRow), as the series of one-place moves the move buttons make; one step of the history, one line
    // of the day log. Only with the reorder permission and while the list is shown.
    void verplaatsNaar(int from, int to);
    int landingRow(int from, int pointed) const { return regels::landingRow(*m_working, from, pointed); }

    // The ring's pace in the class, and the expected go-times and the class's progress that follow from it.
    const ClassPace& classPace() const { return m_course.pace(); }
    ExpectedTimes expectedTimes() const { return m_course.expectedTimes(); }
    // The Tijd cell's tooltip for a row: its expected go-time, where that is news beside the planned one.
    QString expectedTip(int row) const { return m_course.expectedTip(row); }
    QDateTime now() const;
    // The riders a move by the ring crowded: their rows marked in the grid, the first named in the status.
    const std::vector<crowdedriders::Pair>& crowded() const { return m_course.crowding().pairs(); }
    QList<int> crowdedRows() const { return m_course.crowding().rows(); }
    // Whether the pointer moves now: over a list that is shown, also one that is not up to date (the class goes
    // on); not in the empty view.
    bool ringMoves() const { return m_listState != ListState::Empty && !m_unloaded; }

    // Points where a test makes the office write, lock or remove the file in the middle of a read (see
    // RunOrderLoader::ReadHooks).
    void setReadHooks(RunOrderLoader::ReadHooks hooks) { m_loader->setReadHooks(std::move(hooks)); }

    const AppState& state() const { return m_state; }
    const GridTable& working() const { return *m_working; }
    const GridTable& snapshot() const { return *m_snapshot; }
    const GridTable& scratch() const { return *m_scratch; }
    const RunOrderLoader& loader() const { return *m_loader; }
    const platform::Clock& clock() const { return *m_clock; }
    const EditHistory& history() const { return m_edits.history(); }
    const DayLog& dayLog() const { return *m_log; }
    const RingJournal& journal() const { return m_keeper.journal(); }
    const SendWatch& sendWatch() const { return m_sends.watch(); }
    const RingKeeper& keeper() const { return m_keeper; }
    // What the views mark beside the list's texts; the station's own, shared by every view.
    const ChangeMarks& changeMarks() const { return *m_marks; }

    ListState listState() const { return m_listState; }
    bool listShown() const { return m_listState == ListState::Shown; }
    Buttons buttons() const { return m_buttons; }
    StationStatus status() const { return m_status; }
    ListNews listNews() const { return m_listNews; }
    QString caption() const { return m_caption; }
    QString titel() const { return m_titel; }
    QString datum() const { return m_datum; }
    QString begintijd() const { return m_begintijd; }

    const QTimer* timer1() const { return m_timer1; }
    const QTimer* settleTimer() const { return m_settleTimer; }
    const QTimer* timerRegelsVerplaatsen() const { return &m_edits.heldMove().timer(); }

signals:
    void captionChanged(const QString& caption);
    void labelsChanged(const QString& titel, const QString& datum, const QString& begintijd);
    // The list is shown, shown greyed (the file cannot be found), or the empty view.
    void listStateChanged(ListState state);
    // Whether the office's list last read is a new one (the change indicator), told at every check that found
    // the file.
    void listNewsChanged(ListNews news);
    // The list's texts changed: lay grid(1) out again (layOutGrid).
    void layoutNeeded();
    void buttonsChanged(Station::Buttons buttons);
    void statusChanged(const StationStatus& status);
    // After a counted read: the office's list was read whole (forced), replaced the ring's, or was merged.
    void listRebuilt();
    void listReplaced();
    void listMerged();
    // A move left this row current: the window gives the grid the focus, as a click on the row would.
    void lineMoved(int row);
    // The starter in the ring is on another row of grid(1) (-1: none).
    void ringChanged(int row);
    void sendWritten(const SendResult& result);
    void sendFailed(const SendResult& result);
    // A text for the official (OK only): a refused swap, a failed send.
    void message(const QString& text);
    // The ring moved on or back: the pace and the expected times changed.
    void paceChanged();
    // The riders crowded by the ring's moves changed (crowdedRows()).
    void crowdedChanged();

private:
    // What a check found, shown and acted on: the views told, then the selection, the buttons, the send rule
    // and the ring pointer worked out once.
    void showCheck(const RunOrderLoader::Check& check);
    void setCaption(const QString& caption);
    void setListState(ListState state);
    void setLabels(const RunOrderLoader::Labels& labels);
    void beforeReplace();

    bool mayMove() const { return m_listState == ListState::Shown && knoppen::mayReorder(m_state); }
    void setButtons(const Buttons& buttons);
    void zetknoppen();
    void controleerwijzigingen();
    // The class's mutation files go, in the send queue's turn; `occasion` says when, for the day log.
    void runWismutaties(const QString& occasion);
    // A send was written in the shared folder.
    void sent(const SendResult& result);
    // A step of a move: the ring pointer follows the line at once (the board and the marker follow a held line at
    // every step, not only at the release), and the view is told its row.
    void lineMovedTo(int row)
    {
        m_course.follow();
        emit lineMoved(row);
    }

    // The official's work.
    // A held run ends, as a release would: one step of the history, logged and counted as an edit. False when
    // nothing was held or the run moved nothing.
    bool endRunAsEdit();
    // What follows a command of the official's (EditCommands): an edit is logged, its crowding checked, counted
    // (noteEdit) and shown (showEdit); a command that changed nothing only works out the buttons again.
    void finishEdit(const EditCommands::Edit& edit);
    // What every edit changes besides the list: the status's old news, an offer withdrawn, the journal.
    void noteEdit();
    // The ring's work offered back goes unapplied (`end` says why, for the day log); false when none was offered.
    bool dropOffer(daylogtext::OfferEnd end);
    // The selection repainted, the send rule and the buttons worked out again, the ring pointer on its starter.
    void showEdit();
    void afterRead(ListChange change);
    void restoreOrOffer();
    // Kept work put back on the ring's list as one step of the history.
    // The day log's line comes from `describe`; a put-back that changed nothing is logged only when
    // `logUnchanged`.
    Reapplication putBack(
        const RingWork& work, bool logUnchanged, const std::function<QString(const Reapplication&)>& describe);
    void updateStatus();
    void log(const QString& what) { m_log->append(m_state.bestandsnaam(), what); }

    std::unique_ptr<platform::Clock> m_ownClock;
    platform::Clock* m_clock = nullptr;
    std::unique_ptr<SettingsStore> m_ownSettings;
    SettingsStore* m_settings = nullptr;
    AppState m_state;
    // grid(1), grid(2), grid(3); the station's children.
    GridTable* m_working = new GridTable(this);
    GridTable* m_snapshot = new GridTable(this);
    GridTable* m_scratch = new GridTable(this);
    std::unique_ptr<RunOrderLoader> m_loader;
    knoppen::SendRuleTracker m_sendRule;
    EditCommands m_edits { *m_working, m_state };
    std::unique_ptr<DayLog> m_log;
    RingKeeper m_keeper;
    RowSelection m_selection;
    ClassCourse m_course { *m_working, m_keeper, *m_clock };
    ChangeMarks* m_marks = nullptr;

    QTimer* m_timer1 = nullptr;
    QTimer* m_settleTimer = nullptr;

    ListState m_listState = ListState::Shown;
    ListNews m_listNews = ListNews::Untold;
    Buttons m_buttons;
    // The status as the flows leave it, and as it was last told the views.
    StationStatus m_status;
    std::optional<StationStatus> m_emittedStatus;
    // The sends, from the press until the office takes them in; they write the send's part of m_status.
    SendTracker m_sends { m_status, *m_clock };
    QString m_caption;
    QString m_titel;
    QString m_datum;
    QString m_begintijd;
    bool m_started = false;
    bool m_unloaded = false;
    // A class was opened whose identity (rid) is not known yet: its clean-up waits for it.
    bool m_cleanUpWhenKnown = false;
    // For the day log: what the office's changed list did to the starters shown, worked out just before it
    // replaced them; what the checks found of the share and the file.
    QString m_officeChanges;
    FollowLog m_followLog;
};
