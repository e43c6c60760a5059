#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

class GridTable;

// Undo and redo of the ring's edits on its list (grid(1)) since the office's last list: moves, swaps and
// not-started marks. A step is what one command did, as the lines it exchanged (in order) and the rows whose
// mark it toggled, with the official's selection before and after it; a held move button's whole run is one
// step. Both are their own inverse, so a step is undone by doing it again backwards, whatever the list's
// length, and no copy of the list is kept.
//
// The history lives as long as the rows stay the office's rows: a merged re-read changes texts in place and
// keeps it; a list the office replaced (or a class opened) ends it.
class EditHistory
{
public:
    // The official's row selection: the selected rows (RowData 1), the current row and the range's end.
    struct Selection
    {
        std::vector<int> rows;
        int row = 0;
        int rowSel = 0;
    };
    struct Step
    {
        std::vector<std::pair<int, int>> exchanges; // rows whose lines were exchanged, first to last
        std::vector<int> toggledMarks; // rows whose not-started mark was toggled
        Selection before;
        Selection after;
        QString what; // what the step did, in the day log's words
        bool movesLines() const { return !exchanges.empty(); }
        bool marks() const { return !toggledMarks.empty(); }
        bool isEmpty() const { return exchanges.empty() && toggledMarks.empty(); }
    };

    static Selection selectionOf(const GridTable& grid);
    static void restoreSelection(GridTable& grid, const Selection& selection);

    // A step begins (the selection before it is taken now); lines exchanged and marks toggled are added to it
    // until it ends. A step that did nothing leaves no trace.
    void begin(const GridTable& grid);
    bool isOpen() const { return m_open.has_value(); }
    void exchanged(int rowA, int rowB);
    void toggled(const std::vector<int>& rows);
    // Ends the step; `what` says what it did (the day log's line). False when the step did nothing and so
    // left no trace.
    bool end(const GridTable& grid, const QString& what);

    bool canUndo() const { return !m_done.empty(); }
    bool canRedo() const { return !m_undone.empty(); }
    const Step* nextUndo() const { return m_done.empty() ? nullptr : &m_done.back(); }
    const Step* nextRedo() const { return m_undone.empty() ? nullptr : &m_undone.back(); }
    // Undoes the last step on the grid and gives it; nothing when there is none.
    std::optional<Step> undo(GridTable& grid);
    std::optional<Step> redo(GridTable& grid);
    void clear();

    // Does a step's edits on the grid, forwards or backwards (without the selection).
    static void apply(GridTable& grid, const Step& step, bool backwards);

private:
    std::vector<Step> m_done;
    std::vector<Step> m_undone;
    std::optional<Step> m_open;
};
