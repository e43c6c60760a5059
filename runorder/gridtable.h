#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

// The data and state of one grid of the station, as the Windows grid control kept them: cell texts,
// fixed rows and columns, per-row RowData, per-cell back and fore colours (raw 32-bit colour values,
// &H800000nn& for system colours, 0 for "the grid's default"), column alignments and widths, the
// current cell (Row, Col), the other end of the range (RowSel, ColSel), the scroll position (TopRow,
// LeftCol), the row under the pointer (MouseRow) and Redraw.
//
// Everything that loads, merges, moves, marks, sends, selects and lays out works on this class, without
// a display. A property set out of range fails without effect and returns false, as the grid control
// raised an error there; callers carry on as their routine's rules say.
//
// While Redraw is off the model reports the shape it had when Redraw went off and emits nothing; when
// it comes back on, views get one reset (after a change of shape) or one dataChanged over the rows
// that changed, so a bulk rebuild or a repaint of many rows reaches the view once.
//
// A running order has up to 32 767 lines of eleven cells, and the station holds it twice (the working
// list and the snapshot of the file): the texts of a row are kept in one string, shared between grids
// that hold the same line, with where each cell's text starts and ends in it. Filling a grid from the
// file's lines, copying lines between grids and comparing cells then cost no allocation per cell.
// Passes over every row read cells with textView(); textMatrix() gives a copy.
//
// Two logs let the passes that follow every change look at the changed rows only: the rows whose flag
// (RowData), colours or existence changed since the selection was last repainted (takeRowsToRepaint),
// and the rows whose texts changed since a given version (rowsChangedSince).
class GridTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Row numbers are 16-bit in the station: the header plus at most 32 767 lines.
    static constexpr int MaxRows = 32768;
    static constexpr int MaxCols = 64;

    enum class Alignment { Left, Center, Right };

    // Roles for views: the raw colour values (quint32) and the column alignment.
    enum Role { BackColorRole = Qt::UserRole + 1, ForeColorRole };

    explicit GridTable(QObject* parent = nullptr);

    int rows() const { return m_rows; }
    bool setRows(int rows);
    int cols() const { return m_cols; }
    bool setCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    bool setFixedRows(int fixedRows);
    int fixedCols() const { return m_fixedCols; }
    bool setFixedCols(int fixedCols);

    bool isValidCell(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    // The text of a cell; "" for a cell outside the grid (use isValidCell where that matters).
    QString textMatrix(int row, int col) const;
    // The same without a copy, for the passes over every row; valid until the row's texts are set or
    // copied (copyTexts may give a row another string with the same texts).
    QStringView textView(int row, int col) const
    {
        if (!isValidCell(row, col))
            return QStringView();
        const Span span = m_spans[size_t(cellIndex(row, col))];
        return QStringView(m_rowText[size_t(row)].constData() + span.start, qsizetype(span.length));
    }
    bool setTextMatrix(int row, int col, const QString& text);
    // Appends a row; the text is split at tab characters into columns 0, 1, ...; fields beyond the last
    // column are dropped. Fails when the grid already holds MaxRows rows.
    bool addItem(QStringView tabSeparated);
    bool addItem(const QString& tabSeparated);
    // Appends rows as addItem does, at once (views hear of one insertion); as many as fit below MaxRows.
    // Returns how many were added.
    int addItems(const std::vector<QString>& tabSeparated);
    // Appends the rows of another grid with their texts, shared (as addItems of the same lines would).
    int addRowsOf(const GridTable& source);
    // This row takes the texts of the given columns (bit c for column c) of a row of another grid, or of
    // this one. A row that ends as the other row whole shares its texts with it.
    bool copyTexts(int row, const GridTable& source, int sourceRow, quint64 columns);
    static constexpr quint64 allColumns = ~quint64(0);
    // Replaces all rows at once with rows of the given fields (a bulk AddItem after Rows = 0).
    bool setAllRows(const std::vector<QStringList>& rows);

    qint32 rowData(int row) const;
    bool setRowData(int row, qint32 value);
    int rowHeight(int row) const; // twips; -1 outside the grid
    bool setRowHeight(int row, int twips);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int twips);

    Alignment colAlignment(int col) const;
    bool setColAlignment(int col, Alignment alignment);
    int colWidth(int col) const; // twips; -1 outside the grid
    bool setColWidth(int col, int twips);

    // The current cell. Setting Row or Col collapses the range onto the new current cell. Row and
    // RowSel are never fixed rows; Col and ColSel never fixed columns.
    int row() const { return m_row; }
    bool setRow(int row);
    int col() const { return m_col; }
    bool setCol(int col);
    int rowSel() const { return m_rowSel; }
    bool setRowSel(int row);
    int colSel() const { return m_colSel; }
    bool setColSel(int col);

    // The first visible non-fixed row. It is limited so that the last page stays full (pageRows, the
    // number of rows a view shows, is told by the view): a row outside the non-fixed rows, or past the
    // top of the last full page, fails.
    int topRow() const { return m_topRow; }
    bool setTopRow(int row);
    // The list scrolled by one row up (direction > 0) or down, as the wheel does; false when the grid refuses
    // that top row (above the first line, past the last full page).
    bool scrollOneRow(int direction);
    int maxTopRow() const;
    // Scrolls as little as needed for a non-fixed row to be on the page; false for any other row.
    bool showRow(int row);
    int pageRows() const { return m_pageRows; }
    void setPageRows(int rows);
    int leftCol() const { return m_leftCol; }
    bool setLeftCol(int col);

    // The row under the pointer at the last mouse event, kept by the view; -1 when none.
    int mouseRow() const { return m_mouseRow; }
    void setMouseRow(int row) { m_mouseRow = row; }

    // Colours of the current cell (Row, Col).
    quint32 cellBackColor() const;
    bool setCellBackColor(quint32 colour);
    quint32 cellForeColor() const;
    bool setCellForeColor(quint32 colour);
    quint32 backColorAt(int row, int col) const;
    quint32 foreColorAt(int row, int col) const;
    // Colours the cells of a row from column firstCol on, without moving the current cell.
    bool setRowColours(int row, int firstCol, quint32 back, quint32 fore);

    // Exchanges the texts of one column of two rows, without moving the current cell.
    bool exchangeTexts(int rowA, int rowB, int col);

    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // The rows whose RowData or colours changed, or that are new, since the last call, ascending; or all
    // rows ("all"), after the shape, the fixed rows or columns changed, or when many rows changed. The
    // selection repaint paints just these: every other row still has the colours of its flag.
    struct RowsToRepaint
    {
        bool all = true;
        std::vector<int> rows;
    };
    RowsToRepaint takeRowsToRepaint();

    // A number that grows with every change of a cell's text (and of the rows and columns).
    quint64 textVersion() const { return m_textVersion; }
    // The rows whose texts changed since `version` (a value of textVersion()), ascending and each once;
    // nothing when the grid cannot tell: the rows or columns changed, or more rows changed than it logs.
    std::optional<std::vector<int>> rowsChangedSince(quint64 version) const;

    QString fontName() const { return m_fontName; }
    void setFontName(const QString& name);
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points);
    // The layout the view worked out at its width: the font size and each column's width (twips; none leaves
    // a column as it is, and a column the grid does not have refuses its width, as the grid control did).
    void layOut(double fontSize, const std::vector<std::optional<int>>& columnWidths);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The current cell, the range or the scroll position changed (and Redraw is on).
    void positionChanged();
    void columnWidthsChanged();
    void fontChanged();
    void rowHeightsChanged();

private:
    // Where a cell's text lies in its row's string.
    struct Span
    {
        quint32 start = 0;
        quint32 length = 0;
    };

    int cellIndex(int row, int col) const { return row * m_cols + col; }
    void resizeStorage(int rows, int cols);
    int appendRows(int wanted, const std::function<void(int row, int index)>& fill);
    void splitRow(int row);
    void composeRow(int row, const QStringView* fields);
    void allocateColours();
    void touchRow(int row);
    void touchAllRows();
    void logTextChange(int row);
    void logShapeChange();
    void clampPosition();
    void cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol);
    void notifyPosition();
    bool frozen() const { return !m_redraw; }

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    std::vector<QString> m_rowText; // per row: the texts of its cells, where m_spans says
    std::vector<Span> m_spans; // per cell
    // Per cell; both empty while every colour is 0.
    std::vector<quint32> m_back;
    std::vector<quint32> m_fore;
    std::vector<qint32> m_rowData;
    QHash<int, int> m_rowHeights;
    int m_defaultRowHeight = 240;
    std::vector<Alignment> m_alignment;
    std::vector<int> m_colWidth;

    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    int m_topRow = 0;
    int m_leftCol = 0;
    int m_pageRows = 0;
    int m_mouseRow = -1;

    bool m_redraw = true;
    // What views were last told, while Redraw is off.
    int m_reportedRows = 0;
    int m_reportedCols = 0;
    bool m_shapeDirty = false;
    int m_dirtyFirstRow = -1;
    int m_dirtyLastRow = -1;
    bool m_positionDirty = false;
    using Position = std::tuple<int, int, int, int, int, int>; // Row, RowSel, Col, ColSel, TopRow, LeftCol
    Position position() const { return { m_row, m_rowSel, m_col, m_colSel, m_topRow, m_leftCol }; }
    Position m_reportedPosition;

    // Rows to repaint: listed once each (m_listedToRepaint), or all of them.
    bool m_repaintAll = true;
    std::vector<int> m_toRepaint;
    std::vector<char> m_listedToRepaint;
    // Text changes: (version, row) since m_logStart; changes at or before it are not logged.
    quint64 m_textVersion = 0;
    quint64 m_logStart = 0;
    std::vector<std::pair<quint64, int>> m_textLog;

    QString m_fontName = QStringLiteral("MS Sans Serif");
    double m_fontSize = 8.25;
};
