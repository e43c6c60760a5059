#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

class QPainter;
class QTimer;
class QTouchEvent;

#include "gridcontrol.h"
#include "gridtable.h"

class ChangeMarks;
class TextMeasurer;

// The visible grid: shows one GridTable as the Windows grid control did. Fixed rows stay at the top
// while the other rows scroll by whole rows from TopRow; the current range is highlighted in the
// selection colour; every cell is painted in its own back and fore colour; column widths and the font
// come from the table (widths in twips, 15 to a pixel; the font in whole pixels, as the Windows grid set
// it). All state lives in the table; the widget only shows it and turns mouse and keys into changes of
// it. A text its column cuts short ends in "…" and shows whole in the cell's tooltip. Beside the texts it
// paints what ChangeMarks says (the office's changes framed and bold, a bar on rows not sent yet), a warning
// triangle on the rows of a rider a move crowded, and in the sunlight mode it paints in that mode's colours,
// all text bold. A starter can be dragged by its Volg cell (with the mouse, or a finger held still on it); the
// grid shows where it will land and reports the drop, and the station moves it.
class FlexGrid : public QAbstractScrollArea, public GridControl
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    void setTable(GridTable* table) override;
    GridTable* table() const { return m_table; }

    // The row or column at a viewport position, or -1.
    int rowAt(int y) const;
    int colAt(int x) const;
    // A cell's rectangle in viewport coordinates; empty when it is not shown.
    QRect cellRect(int row, int col) const;
    // The rectangle a cell's text is drawn in (and clipped to): the cell less its grid line and the air
    // kept on either side; empty when the cell is not shown.
    QRect textRect(int row, int col) const;
    int rowHeightPixels() const;
    // The height of a row in pixels for the grid's font.
    static int rowHeightFor(const QFont& font);
    // How many non-fixed rows fit on one page of the viewport.
    int visibleRows() const;

    // Shows the list greyed, as one that is not up to date (the office's file cannot be found).
    void setStale(bool stale);
    bool isStale() const { return m_stale; }

    // The sunlight mode: its colours, bold text, a dark frame around the selection.
    void setSunlight(bool sunlight);
    bool isSunlight() const { return m_sunlight; }

    // What to mark beside the texts (nothing when not given).
    void setChangeMarks(const ChangeMarks* marks);

    // Whether a cell's text is cut short by its column (and drawn ending in "…").
    bool isCut(int row, int col) const;
    // What a cell's tooltip says: its whole text when cut short, and what its marks mean; empty for none.
    QString cellToolTip(int row, int col) const;

    // The font the grid draws with: the table's font name, at round(points * 96 / 72) pixels.
    QFont gridFont() const;

    // The row of the starter in the ring, marked at its left edge (the ring pointer's marker); -1 for none.
    void setMarkedRow(int row);
    int markedRow() const { return m_markedRow; }

    // Dragging a starter by its Volg cell (the running position at the left of its row) to another place: the
    // pointer shows a grip there, a line shows where the starter will land while it is dragged, Escape cancels,
    // and the drop is told as rowDragged. With a finger, a press held still on the Volg cell starts the drag,
    // so a swipe still scrolls and a tap still selects. `landing` gives the row a drag from `from` to the row
    // pointed at lands on (pause lines stay in place); without it, no drag starts.
    using LandingRule = std::function<int(int from, int pointed)>;
    void setRowDrag(LandingRule landing);
    void setRowDragEnabled(bool enabled);
    bool isDragging() const { return m_drag.active; }
    // The row a drag in progress will land on; -1 when none is in progress.
    int landingRow() const { return m_drag.active ? m_drag.landing : -1; }
    // How long a finger is held still before a drag starts, in ms.
    static constexpr int touchHoldTime = 450;

    // Rows marked with a warning (a rider crowded by a move); the marks follow until the next call.
    void setWarnedRows(const QList<int>& rows);
    QList<int> warnedRows() const { return m_warnedRows; }
    // What the Tijd cell's tooltip adds for a row (the expected go-time); nothing when not given.
    void setTimeTip(std::function<QString(int row)> tip);

    // Scrolls as little as needed for the row to be on the page (fixed rows always are).
    void ensureRowVisible(int row);

    // The shift state of modifiers as the grid reports it.
    static int shiftState(Qt::KeyboardModifiers modifiers);
    // The Windows key code of a key, as the grid reports it (Qt's key code where they agree or none exists).
    static int windowsKeyCode(int qtKey);

signals:
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void keyDown(int keyCode, int shift);
    void keyUp(int keyCode, int shift);
    void selChange();
    // A starter dragged by its Volg cell was dropped: the line of row `from` lands on row `to`.
    void rowDragged(int from, int to);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void tableReset();
    void applyFont();
    void updateScrollBars();
    void syncFromTable();
    int columnPixels(int col) const;
    QRect textArea(const QRect& cell) const;
    int fixedRowsHeight() const;
    int fixedColsWidth() const;
    bool isDataCell(int row, int col) const;
    int dragRowAt(int y);
    int dragColAt(int x) const;
    int nextShownCol(int col, int step) const;
    void ensureColVisible(int col);
    bool moveByKey(int key, bool extend);
    struct Position
    {
        int row, col, rowSel, colSel;
        bool operator==(const Position&) const = default;
    };
    Position position() const;
    void reportIfMoved(const Position& before);
    void paintFocusFrame(QPainter& painter);
    void paintMarker(QPainter& painter);
    // The width of the bar that marks a row the ring has not sent.
    int unsentBarWidth(int rowHeight) const;

    // The font a cell's text is drawn in (bold for the office's changes) and its width in it.
    QFont cellFont(bool officeMark) const;
    double textWidth(const QString& text, bool officeMark) const;
    bool officeMarked(int row, int col) const;

    // The drag of a starter by its Volg cell.
    bool isGrip(int row, int col) const;
    void updateGripCursor(const QPoint& at);
    void beginDrag(int row);
    void dragTo(int y);
    void endDrag(bool drop);
    void paintLanding(QPainter& painter);
    void paintWarnings(QPainter& painter);
    bool touchEvent(QTouchEvent* event);
    void touchHeld();
    // A press and a release of a mouse button at a viewport position, as the mouse and a finger make them.
    void press(const QPoint& at, Qt::MouseButton which, Qt::KeyboardModifiers modifiers);
    void release(const QPoint& at, Qt::MouseButton which, Qt::KeyboardModifiers modifiers);

    struct Drag
    {
        bool armed = false; // pressed on a Volg cell; a drag begins once the pointer moves
        bool active = false;
        int from = -1;
        int landing = -1;
        QPoint pressedAt;
    };
    struct Touch
    {
        bool down = false;
        bool swiped = false;
        QPoint startAt;
        QPoint at;
        int startTopRow = 0;
    };
    LandingRule m_landing;
    bool m_dragEnabled = true;
    Drag m_drag;
    Touch m_touch;
    QTimer* m_holdTimer = nullptr;
    QList<int> m_warnedRows;
    std::function<QString(int)> m_timeTip;

    QPointer<GridTable> m_table;
    QPointer<const ChangeMarks> m_marks;
    bool m_stale = false;
    bool m_sunlight = false;
    // Widths of texts in the grid's font, as the layout measures them.
    std::unique_ptr<TextMeasurer> m_measurer;
    int m_markedRow = -1;
    // Pixels between a cell's text and its edges, on either side; follows the font.
    int m_textInset = 3;
    bool m_syncing = false;
    // Buttons whose press counted, so their release raises mouseUp; a drag runs while the left one does.
    Qt::MouseButtons m_pressed;
};
