#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <memory>

class QPainter;

#include "gridtable.h"

class ChangeMarks;
class TextMeasurer;

// The visible grid: shows one GridTable as the Windows grid control did. Fixed rows stay at the top
// while the other rows scroll by whole rows from TopRow; the current range is highlighted in the
// selection colour; every cell is painted in its own back and fore colour; column widths and the font
// come from the table (widths in twips, 15 to a pixel; the font in whole pixels, as the Windows grid set
// it). All state lives in the table; the widget only shows it and turns mouse and keys into changes of
// it. A text its column cuts short ends in "…" and shows whole in the cell's tooltip. Beside the texts it
// paints what ChangeMarks says (the office's changes framed and bold, a bar on rows not sent yet), and in
// the sunlight mode it paints in that mode's colours, all text bold.
class FlexGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    void setTable(GridTable* table);
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
