#pragma once

#include "edithistory.h"
#include "heldmove.h"
#include "regels.h"
#include "ringwork.h"

#include <QString>
#include <functional>
#include <optional>

class AppState;
class GridTable;

// The official's edits of the ring's list and their history: a move (pressed once, or held to repeat), a drag
// to another place, the swap of two starters, the not-started mark, undo and redo, and the ring's kept work put
// back. Each command changes the list as one step of the history and says what it did as an Edit: whether
// anything changed, the day log's line, and the step when it moved lines for the ring (the riders it may have
// crowded). Whether a command may run now (the file's permissions, the list shown, a held move) and what
// follows an edit (the log, the buttons, the send rule, the ring pointer) is the station's, which conducts.
class EditCommands
{
public:
    struct Edit
    {
        bool changed = false;
        QString logged;
        // The step when the ring moved lines by it (a move, a drag, a swap, a redo, work put back).
        std::optional<EditHistory::Step> ringStep;
    };

    EditCommands(GridTable& working, const AppState& state);
    EditCommands(const EditCommands&) = delete;
    EditCommands& operator=(const EditCommands&) = delete;

    const EditHistory& history() const { return m_history; }
    HeldMove& heldMove() { return m_heldMove; }
    const HeldMove& heldMove() const { return m_heldMove; }
    // The rows are the office's rows now (its list replaced the ring's, or a class was opened): what could be
    // undone was done on other ones.
    void clearHistory() { m_history.clear(); }

    // The press of a move button: the current line moves once and the repeat begins. Its row now.
    int press(regels::Richting richting);
    // A step of the held move's repeat; the line's row now.
    int step(regels::Richting richting);
    // The held run ends (a release, a lost hold, another command): one step of the history and one line of the
    // day log, from where the run began.
    Edit endRun();
    // The line of row `from` goes to the place the drag lands on, as the one-place moves of the buttons.
    Edit dragTo(int from, int to);
    // The two selected lines swap places (controleerwissel allowed it).
    Edit swap();
    // The selected starters' not-started marks toggle.
    Edit toggleNotStarted();
    // Undo or redo, as far as the file still allows the kind of edit (mayUndo, mayRedo).
    bool mayUndo() const { return mayReplay(m_history.nextUndo()); }
    bool mayRedo() const { return mayReplay(m_history.nextRedo()); }
    Edit undo();
    Edit redo();
    // Kept work put back on the ring's list; the day log's line comes from `describe`.
    std::pair<Edit, Reapplication> putBack(
        const RingWork& work, const std::function<QString(const Reapplication&)>& describe);

private:
    void begin();
    Edit end(const QString& logged);
    bool mayReplay(const EditHistory::Step* step) const;
    int moveOnce(regels::Richting richting);
    // "105 Anna de Vries": a moved starter as the log names it.
    QString riderAt(int row) const;
    QString positionAt(int row) const;

    GridTable& m_working;
    const AppState& m_state;
    EditHistory m_history;
    HeldMove m_heldMove;
};
