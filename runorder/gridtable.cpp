#include "gridtable.h"

#include <algorithm>
#include <array>
#include <functional>
#include <tuple>

GridTable::GridTable(QObject* parent)
    : QAbstractTableModel(parent)
{
}

namespace {

// More rows than this listed for a repaint, and the repaint looks at all of them.
constexpr size_t maxListedToRepaint = 4096;
// Text changes logged; beyond that the passes that follow them look at every row.
constexpr size_t maxTextLog = 4096;

} // namespace

void GridTable::resizeStorage(int rows, int cols)
{
    const bool reshaped = rows != m_rows || cols != m_cols;
    if (cols != m_cols) {
        // Reshape cell by cell: columns change only while a grid is set up, never on a full list. The
        // rows' strings stay as they are; a new column is an empty text.
        const bool coloured = !m_back.empty();
        std::vector<Span> spans(size_t(rows) * size_t(cols));
        std::vector<quint32> back(coloured ? spans.size() : 0, 0), fore(coloured ? spans.size() : 0, 0);
        const int keepRows = std::min(rows, m_rows);
        const int keepCols = std::min(cols, m_cols);
        for (int r = 0; r < keepRows; ++r) {
            for (int c = 0; c < keepCols; ++c) {
                const size_t from = size_t(cellIndex(r, c));
                const size_t to = size_t(r) * size_t(cols) + size_t(c);
                spans[to] = m_spans[from];
                if (coloured) {
                    back[to] = m_back[from];
                    fore[to] = m_fore[from];
                }
            }
        }
        m_spans = std::move(spans);
        m_back = std::move(back);
        m_fore = std::move(fore);
        m_alignment.resize(size_t(cols), Alignment::Left);
        m_colWidth.resize(size_t(cols), 960);
        touchAllRows();
    } else {
        const size_t cellCount = size_t(rows) * size_t(cols);
        m_spans.resize(cellCount);
        if (!m_back.empty()) {
            m_back.resize(cellCount, 0);
            m_fore.resize(cellCount, 0);
        }
    }
    m_rowText.resize(size_t(rows));
    m_rowData.resize(size_t(rows), 0);
    m_listedToRepaint.resize(size_t(rows), 0);
    if (rows < m_rows) {
        for (auto it = m_rowHeights.begin(); it != m_rowHeights.end();) {
            if (it.key() >= rows)
                it = m_rowHeights.erase(it);
            else
                ++it;
        }
    }
    const int oldRows = m_rows;
    m_rows = rows;
    m_cols = cols;
    // New rows have never been painted.
    for (int r = oldRows; r < rows && !m_repaintAll; ++r)
        touchRow(r);
    if (reshaped)
        logShapeChange();
}

bool GridTable::setRows(int rows)
{
    if (rows < 0 || rows > MaxRows)
        return false;
    if (rows == m_rows)
        return true;
    if (frozen()) {
        resizeStorage(rows, m_cols);
        m_shapeDirty = true;
    } else if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        resizeStorage(rows, m_cols);
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        resizeStorage(rows, m_cols);
        endRemoveRows();
    }
    if (m_fixedRows > rows)
        m_fixedRows = rows;
    clampPosition();
    return true;
}

bool GridTable::setCols(int cols)
{
    if (cols < 0 || cols > MaxCols)
        return false;
    if (cols == m_cols)
        return true;
    if (frozen()) {
        resizeStorage(m_rows, cols);
        m_shapeDirty = true;
    } else if (cols > m_cols) {
        beginInsertColumns(QModelIndex(), m_cols, cols - 1);
        resizeStorage(m_rows, cols);
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), cols, m_cols - 1);
        resizeStorage(m_rows, cols);
        endRemoveColumns();
    }
    if (m_fixedCols > cols)
        m_fixedCols = cols;
    clampPosition();
    emit columnWidthsChanged();
    return true;
}

bool GridTable::setFixedRows(int fixedRows)
{
    if (fixedRows < 0 || fixedRows > m_rows)
        return false;
    if (fixedRows != m_fixedRows)
        touchAllRows(); // other rows take part in the selection now
    m_fixedRows = fixedRows;
    clampPosition();
    cellsChanged(0, m_rows - 1, 0, m_cols - 1);
    return true;
}

bool GridTable::setFixedCols(int fixedCols)
{
    if (fixedCols < 0 || fixedCols > m_cols)
        return false;
    if (fixedCols != m_fixedCols)
        touchAllRows(); // the repaint looks at another first cell now
    m_fixedCols = fixedCols;
    clampPosition();
    cellsChanged(0, m_rows - 1, 0, m_cols - 1);
    return true;
}

void GridTable::clampPosition()
{
    const int firstRow = m_fixedRows;
    const int lastRow = std::max(firstRow, m_rows - 1);
    const int firstCol = m_fixedCols;
    const int lastCol = std::max(firstCol, m_cols - 1);
    const auto before = std::tuple(m_row, m_rowSel, m_col, m_colSel, m_topRow, m_leftCol);
    m_row = std::clamp(m_row, firstRow, lastRow);
    m_rowSel = std::clamp(m_rowSel, firstRow, lastRow);
    m_col = std::clamp(m_col, firstCol, lastCol);
    m_colSel = std::clamp(m_colSel, firstCol, lastCol);
    m_topRow = std::clamp(m_topRow, firstRow, std::max(firstRow, maxTopRow()));
    m_leftCol = std::clamp(m_leftCol, firstCol, lastCol);
    if (before != std::tuple(m_row, m_rowSel, m_col, m_colSel, m_topRow, m_leftCol))
        notifyPosition();
}

QString GridTable::textMatrix(int row, int col) const
{
    if (!isValidCell(row, col))
        return QString();
    const Span span = m_spans[size_t(cellIndex(row, col))];
    const QString& text = m_rowText[size_t(row)];
    if (span.length == 0)
        return QString();
    // A row of one cell is its string: shared, not copied.
    if (span.start == 0 && qsizetype(span.length) == text.size())
        return text;
    return QStringView(text).mid(span.start, span.length).toString();
}

bool GridTable::setTextMatrix(int row, int col, const QString& text)
{
    if (!isValidCell(row, col))
        return false;
    if (textView(row, col) == text)
        return true;
    std::array<QStringView, MaxCols> fields {};
    for (int c = 0; c < m_cols; ++c)
        fields[size_t(c)] = c == col ? QStringView(text) : textView(row, c);
    composeRow(row, fields.data());
    logTextChange(row);
    cellsChanged(row, row, col, col);
    return true;
}

void GridTable::splitRow(int row)
{
    // The cells' texts lie between the tabs of the row's string; fields beyond the last column are left
    // in the string, unused, and missing ones are empty.
    const QString& text = m_rowText[size_t(row)];
    const char16_t* chars = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype n = text.size();
    Span* spans = &m_spans[size_t(cellIndex(row, 0))];
    qsizetype start = 0;
    int col = 0;
    while (col < m_cols) {
        qsizetype end = start;
        while (end < n && chars[end] != u'\t')
            ++end;
        spans[col++] = Span { quint32(start), quint32(end - start) };
        if (end >= n)
            break;
        start = end + 1;
    }
    for (; col < m_cols; ++col)
        spans[col] = Span {};
}

void GridTable::composeRow(int row, const QStringView* fields)
{
    // The fields may lie in this row's own string: it stays alive until the new one is complete.
    qsizetype total = 0;
    for (int c = 0; c < m_cols; ++c)
        total += fields[c].size();
    QString text(total, Qt::Uninitialized);
    QChar* out = text.data();
    Span* spans = &m_spans[size_t(cellIndex(row, 0))];
    qsizetype at = 0;
    for (int c = 0; c < m_cols; ++c) {
        const qsizetype length = fields[c].size();
        std::copy_n(fields[c].data(), length, out + at);
        spans[c] = Span { quint32(at), quint32(length) };
        at += length;
    }
    m_rowText[size_t(row)] = std::move(text);
}

bool GridTable::addItem(QStringView tabSeparated)
{
    return addItem(tabSeparated.toString());
}

bool GridTable::addItem(const QString& tabSeparated)
{
    return addItems(std::vector<QString> { tabSeparated }) == 1;
}

int GridTable::addItems(const std::vector<QString>& tabSeparated)
{
    return appendRows(int(std::min<size_t>(tabSeparated.size(), size_t(MaxRows))), [&](int row, int i) {
        m_rowText[size_t(row)] = tabSeparated[size_t(i)];
        splitRow(row);
    });
}

int GridTable::addRowsOf(const GridTable& source)
{
    return appendRows(source.m_rows, [&](int row, int i) {
        if (source.m_cols == m_cols) {
            // The same lines: their strings shared, where the cells lie copied, nothing split again.
            m_rowText[size_t(row)] = source.m_rowText[size_t(i)];
            std::copy_n(&source.m_spans[size_t(source.cellIndex(i, 0))], m_cols, &m_spans[size_t(cellIndex(row, 0))]);
        } else {
            std::array<QStringView, MaxCols> fields {};
            for (int c = 0; c < m_cols; ++c)
                fields[size_t(c)] = source.textView(i, c);
            composeRow(row, fields.data());
        }
    });
}

int GridTable::appendRows(int wanted, const std::function<void(int row, int index)>& fill)
{
    const int count = std::min(wanted, MaxRows - m_rows);
    if (count <= 0)
        return 0;
    const int firstRow = m_rows;
    if (!frozen())
        beginInsertRows(QModelIndex(), firstRow, firstRow + count - 1);
    resizeStorage(m_rows + count, m_cols);
    for (int i = 0; i < count; ++i)
        fill(firstRow + i, i);
    if (frozen())
        m_shapeDirty = true;
    else
        endInsertRows();
    clampPosition();
    return count;
}

bool GridTable::copyTexts(int row, const GridTable& source, int sourceRow, quint64 columns)
{
    if (row < 0 || row >= m_rows || sourceRow < 0 || sourceRow >= source.m_rows)
        return false;
    if (&source == this && row == sourceRow)
        return true;
    const int shared = std::min(m_cols, source.m_cols);
    const auto taken = [&](int c) { return c < shared && c < 64 && (columns >> c & 1) != 0; };
    int firstChanged = -1;
    int lastChanged = -1;
    for (int c = 0; c < shared; ++c) {
        if (taken(c) && textView(row, c) != source.textView(sourceRow, c)) {
            if (firstChanged < 0)
                firstChanged = c;
            lastChanged = c;
        }
    }
    // When the cells that stay are the same as the other row's too, this row becomes that row whole.
    bool whole = m_cols == source.m_cols;
    for (int c = 0; c < m_cols && whole; ++c) {
        if (!taken(c) && textView(row, c) != source.textView(sourceRow, c))
            whole = false;
    }
    if (whole) {
        // Also when nothing changes: the row then holds the other row's string instead of an equal one,
        // so that grids that hold the same lines hold them once.
        m_rowText[size_t(row)] = source.m_rowText[size_t(sourceRow)];
        std::copy_n(
            &source.m_spans[size_t(source.cellIndex(sourceRow, 0))], m_cols, &m_spans[size_t(cellIndex(row, 0))]);
    }
    if (firstChanged < 0)
        return true;
    if (!whole) {
        std::array<QStringView, MaxCols> fields {};
        for (int c = 0; c < m_cols; ++c)
            fields[size_t(c)] = taken(c) ? source.textView(sourceRow, c) : textView(row, c);
        composeRow(row, fields.data());
    }
    logTextChange(row);
    cellsChanged(row, row, firstChanged, lastChanged);
    return true;
}

bool GridTable::setAllRows(const std::vector<QStringList>& rows)
{
    if (rows.size() > size_t(MaxRows))
        return false;
    if (!frozen())
        beginResetModel();
    m_rowHeights.clear();
    m_rows = 0;
    m_rowText.clear();
    m_spans.clear();
    m_back.clear();
    m_fore.clear();
    m_rowData.clear();
    m_listedToRepaint.clear();
    resizeStorage(int(rows.size()), m_cols);
    std::array<QStringView, MaxCols> fields {};
    for (size_t r = 0; r < rows.size(); ++r) {
        const QStringList& given = rows[r];
        for (int c = 0; c < m_cols; ++c)
            fields[size_t(c)] = c < given.size() ? QStringView(given[c]) : QStringView();
        composeRow(int(r), fields.data());
    }
    touchAllRows();
    logShapeChange();
    if (m_fixedRows > m_rows)
        m_fixedRows = m_rows;
    if (frozen())
        m_shapeDirty = true;
    else
        endResetModel();
    clampPosition();
    return true;
}

qint32 GridTable::rowData(int row) const
{
    if (row < 0 || row >= m_rows)
        return 0;
    return m_rowData[size_t(row)];
}

bool GridTable::setRowData(int row, qint32 value)
{
    if (row < 0 || row >= m_rows)
        return false;
    qint32& data = m_rowData[size_t(row)];
    if (data != value) {
        data = value;
        touchRow(row);
    }
    return true;
}

int GridTable::rowHeight(int row) const
{
    if (row < 0 || row >= m_rows)
        return -1;
    // Rows of their own height are rare; most lists have none, and every selection change asks each row.
    if (m_rowHeights.isEmpty())
        return m_defaultRowHeight;
    return m_rowHeights.value(row, m_defaultRowHeight);
}

bool GridTable::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= m_rows || twips < 0)
        return false;
    if (twips == m_defaultRowHeight)
        m_rowHeights.remove(row);
    else
        m_rowHeights.insert(row, twips);
    emit rowHeightsChanged();
    return true;
}

void GridTable::setDefaultRowHeight(int twips)
{
    if (twips < 0 || twips == m_defaultRowHeight)
        return;
    m_defaultRowHeight = twips;
    emit rowHeightsChanged();
}

GridTable::Alignment GridTable::colAlignment(int col) const
{
    if (col < 0 || col >= m_cols)
        return Alignment::Left;
    return m_alignment[size_t(col)];
}

bool GridTable::setColAlignment(int col, Alignment alignment)
{
    if (col < 0 || col >= m_cols)
        return false;
    m_alignment[size_t(col)] = alignment;
    cellsChanged(0, m_rows - 1, col, col);
    return true;
}

int GridTable::colWidth(int col) const
{
    if (col < 0 || col >= m_cols)
        return -1;
    return m_colWidth[size_t(col)];
}

bool GridTable::setColWidth(int col, int twips)
{
    if (col < 0 || col >= m_cols || twips < 0)
        return false;
    if (m_colWidth[size_t(col)] != twips) {
        m_colWidth[size_t(col)] = twips;
        emit columnWidthsChanged();
    }
    return true;
}

bool GridTable::setRow(int row)
{
    if (row < m_fixedRows || row >= m_rows)
        return false;
    // The view hears of a move only: a routine that puts the current cell back where it was (the
    // selection repaint does, on every click and every tick) costs the screen nothing.
    const bool moved = m_row != row || m_rowSel != row || m_colSel != m_col;
    m_row = row;
    m_rowSel = row;
    m_colSel = m_col;
    if (moved)
        notifyPosition();
    return true;
}

bool GridTable::setCol(int col)
{
    if (col < m_fixedCols || col >= m_cols)
        return false;
    const bool moved = m_col != col || m_rowSel != m_row || m_colSel != col;
    m_col = col;
    m_rowSel = m_row;
    m_colSel = col;
    if (moved)
        notifyPosition();
    return true;
}

bool GridTable::setRowSel(int row)
{
    if (row < m_fixedRows || row >= m_rows)
        return false;
    if (m_rowSel != row) {
        m_rowSel = row;
        notifyPosition();
    }
    return true;
}

bool GridTable::setColSel(int col)
{
    if (col < m_fixedCols || col >= m_cols)
        return false;
    if (m_colSel != col) {
        m_colSel = col;
        notifyPosition();
    }
    return true;
}

int GridTable::maxTopRow() const
{
    if (m_rows <= m_fixedRows)
        return m_fixedRows;
    if (m_pageRows <= 0)
        return m_rows - 1;
    return std::max(m_fixedRows, m_rows - m_pageRows);
}

bool GridTable::setTopRow(int row)
{
    if (row < m_fixedRows || row >= m_rows || row > maxTopRow())
        return false;
    if (m_topRow != row) {
        m_topRow = row;
        notifyPosition();
    }
    return true;
}

bool GridTable::showRow(int row)
{
    if (row < m_fixedRows || row >= m_rows)
        return false;
    const int page = std::max(1, m_pageRows);
    if (row < m_topRow)
        return setTopRow(row);
    if (row >= m_topRow + page)
        return setTopRow(std::min(row - page + 1, maxTopRow()));
    return true;
}

void GridTable::setPageRows(int rows)
{
    m_pageRows = std::max(0, rows);
    m_topRow = std::clamp(m_topRow, m_fixedRows, std::max(m_fixedRows, maxTopRow()));
}

bool GridTable::setLeftCol(int col)
{
    if (col < m_fixedCols || col >= m_cols)
        return false;
    if (m_leftCol != col) {
        m_leftCol = col;
        notifyPosition();
    }
    return true;
}

quint32 GridTable::cellBackColor() const
{
    return backColorAt(m_row, m_col);
}

bool GridTable::setCellBackColor(quint32 colour)
{
    if (!isValidCell(m_row, m_col))
        return false;
    if (colour != backColorAt(m_row, m_col))
        allocateColours();
    if (m_back.empty())
        return true;
    quint32& cell = m_back[size_t(cellIndex(m_row, m_col))];
    if (cell != colour) {
        cell = colour;
        touchRow(m_row);
        cellsChanged(m_row, m_row, m_col, m_col);
    }
    return true;
}

quint32 GridTable::cellForeColor() const
{
    return foreColorAt(m_row, m_col);
}

bool GridTable::setCellForeColor(quint32 colour)
{
    if (!isValidCell(m_row, m_col))
        return false;
    if (colour != foreColorAt(m_row, m_col))
        allocateColours();
    if (m_fore.empty())
        return true;
    quint32& cell = m_fore[size_t(cellIndex(m_row, m_col))];
    if (cell != colour) {
        cell = colour;
        touchRow(m_row);
        cellsChanged(m_row, m_row, m_col, m_col);
    }
    return true;
}

quint32 GridTable::backColorAt(int row, int col) const
{
    return isValidCell(row, col) && !m_back.empty() ? m_back[size_t(cellIndex(row, col))] : 0;
}

quint32 GridTable::foreColorAt(int row, int col) const
{
    return isValidCell(row, col) && !m_fore.empty() ? m_fore[size_t(cellIndex(row, col))] : 0;
}

bool GridTable::setRowColours(int row, int firstCol, quint32 back, quint32 fore)
{
    if (row < 0 || row >= m_rows || firstCol < 0 || firstCol >= m_cols)
        return false;
    if (back != 0 || fore != 0)
        allocateColours();
    if (m_back.empty())
        return true; // every cell has colour 0 already
    bool changed = false;
    for (int c = firstCol; c < m_cols; ++c) {
        const size_t cell = size_t(cellIndex(row, c));
        changed = changed || m_back[cell] != back || m_fore[cell] != fore;
        m_back[cell] = back;
        m_fore[cell] = fore;
    }
    if (changed) {
        touchRow(row);
        cellsChanged(row, row, firstCol, m_cols - 1);
    }
    return true;
}

bool GridTable::exchangeTexts(int rowA, int rowB, int col)
{
    if (!isValidCell(rowA, col) || !isValidCell(rowB, col))
        return false;
    if (rowA == rowB || textView(rowA, col) == textView(rowB, col))
        return true;
    const QString a = textMatrix(rowA, col);
    const QString b = textMatrix(rowB, col);
    std::array<QStringView, MaxCols> fields {};
    for (const auto& [row, text] : { std::pair<int, const QString&> { rowA, b }, { rowB, a } }) {
        for (int c = 0; c < m_cols; ++c)
            fields[size_t(c)] = c == col ? QStringView(text) : textView(row, c);
        composeRow(row, fields.data());
        logTextChange(row);
    }
    cellsChanged(rowA, rowA, col, col);
    cellsChanged(rowB, rowB, col, col);
    return true;
}

void GridTable::setRedraw(bool on)
{
    if (on == m_redraw)
        return;
    if (!on) {
        m_reportedRows = m_rows;
        m_reportedCols = m_cols;
        m_reportedPosition = position();
        m_redraw = false;
        return;
    }
    if (m_shapeDirty) {
        // Views still hold the shape they were last told; a reset moves them to the new one at once.
        beginResetModel();
        m_redraw = true;
        m_shapeDirty = false;
        m_dirtyFirstRow = m_dirtyLastRow = -1;
        endResetModel();
    } else {
        m_redraw = true;
        if (m_dirtyFirstRow >= 0 && m_rows > 0 && m_cols > 0) {
            const int first = std::min(m_dirtyFirstRow, m_rows - 1);
            const int last = std::min(m_dirtyLastRow, m_rows - 1);
            m_dirtyFirstRow = m_dirtyLastRow = -1;
            emit dataChanged(index(first, 0), index(last, m_cols - 1));
        }
        m_dirtyFirstRow = m_dirtyLastRow = -1;
    }
    // A position that went back to where it was while drawing was off (the selection repaint walks the
    // rows and restores it) is no move for the view.
    if (m_positionDirty) {
        m_positionDirty = false;
        if (position() != m_reportedPosition)
            emit positionChanged();
    }
}

GridTable::RowsToRepaint GridTable::takeRowsToRepaint()
{
    RowsToRepaint taken;
    taken.all = m_repaintAll;
    for (const int row : m_toRepaint) {
        if (row < m_rows) {
            m_listedToRepaint[size_t(row)] = 0;
            if (!taken.all)
                taken.rows.push_back(row);
        }
    }
    std::sort(taken.rows.begin(), taken.rows.end());
    taken.rows.erase(std::unique(taken.rows.begin(), taken.rows.end()), taken.rows.end());
    m_toRepaint.clear();
    m_repaintAll = false;
    return taken;
}

void GridTable::allocateColours()
{
    // Colours take room only in a grid that is painted: the snapshot and the scratch list never are.
    if (m_back.empty()) {
        m_back.assign(size_t(m_rows) * size_t(m_cols), 0);
        m_fore.assign(size_t(m_rows) * size_t(m_cols), 0);
    }
}

void GridTable::touchRow(int row)
{
    if (m_repaintAll || m_listedToRepaint[size_t(row)])
        return;
    if (m_toRepaint.size() >= maxListedToRepaint) {
        touchAllRows();
        return;
    }
    m_listedToRepaint[size_t(row)] = 1;
    m_toRepaint.push_back(row);
}

void GridTable::touchAllRows()
{
    m_repaintAll = true;
}

std::optional<std::vector<int>> GridTable::rowsChangedSince(quint64 version) const
{
    if (version >= m_textVersion)
        return std::vector<int>();
    if (version < m_logStart)
        return std::nullopt;
    std::vector<int> rows;
    // The log is in version order: the changes after `version` are its tail.
    auto first = std::upper_bound(m_textLog.begin(), m_textLog.end(), version,
        [](quint64 v, const std::pair<quint64, int>& entry) { return v < entry.first; });
    for (auto it = first; it != m_textLog.end(); ++it)
        rows.push_back(it->second);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void GridTable::logTextChange(int row)
{
    ++m_textVersion;
    if (m_textLog.size() >= maxTextLog) {
        m_textLog.clear();
        m_logStart = m_textVersion;
        return;
    }
    m_textLog.emplace_back(m_textVersion, row);
}

void GridTable::logShapeChange()
{
    ++m_textVersion;
    m_textLog.clear();
    m_logStart = m_textVersion;
}

void GridTable::setFontName(const QString& name)
{
    if (name == m_fontName)
        return;
    m_fontName = name;
    emit fontChanged();
}

void GridTable::setFontSize(double points)
{
    if (points == m_fontSize)
        return;
    m_fontSize = points;
    emit fontChanged();
}

void GridTable::cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol)
{
    if (lastRow < firstRow || lastCol < firstCol || m_rows == 0 || m_cols == 0)
        return;
    if (frozen()) {
        m_dirtyFirstRow = m_dirtyFirstRow < 0 ? firstRow : std::min(m_dirtyFirstRow, firstRow);
        m_dirtyLastRow = std::max(m_dirtyLastRow, lastRow);
        return;
    }
    emit dataChanged(index(firstRow, firstCol), index(lastRow, lastCol));
}

void GridTable::notifyPosition()
{
    if (frozen()) {
        m_positionDirty = true;
        return;
    }
    emit positionChanged();
}

int GridTable::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return frozen() ? m_reportedRows : m_rows;
}

int GridTable::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return frozen() ? m_reportedCols : m_cols;
}

QVariant GridTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !isValidCell(index.row(), index.column()))
        return QVariant();
    const int row = index.row();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return textMatrix(row, col);
    case Qt::TextAlignmentRole: {
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (m_alignment[size_t(col)] == Alignment::Right)
            horizontal = Qt::AlignRight;
        else if (m_alignment[size_t(col)] == Alignment::Center)
            horizontal = Qt::AlignHCenter;
        return QVariant::fromValue(int(horizontal | Qt::AlignVCenter));
    }
    case BackColorRole:
        return QVariant::fromValue(backColorAt(row, col));
    case ForeColorRole:
        return QVariant::fromValue(foreColorAt(row, col));
    default:
        return QVariant();
    }
}

Qt::ItemFlags GridTable::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool GridTable::scrollOneRow(int direction)
{
    const int before = m_topRow;
    return setTopRow(direction > 0 ? before - 1 : before + 1) && m_topRow != before;
}

void GridTable::layOut(double fontSize, const std::vector<std::optional<int>>& columnWidths)
{
    setFontSize(fontSize);
    for (size_t c = 0; c < columnWidths.size(); ++c) {
        if (columnWidths[c])
            setColWidth(int(c), *columnWidths[c]);
    }
}
