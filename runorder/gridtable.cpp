#include "gridtable.h"

#include <algorithm>

GridTable::GridTable(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void GridTable::resizeStorage(int rows, int cols)
{
    if (cols != m_cols) {
        // Reshape cell by cell: columns change only while a grid is set up, never on a full list.
        std::vector<QString> cells(size_t(rows) * size_t(cols));
        std::vector<quint32> back(cells.size(), 0), fore(cells.size(), 0);
        const int keepRows = std::min(rows, m_rows);
        const int keepCols = std::min(cols, m_cols);
        for (int r = 0; r < keepRows; ++r) {
            for (int c = 0; c < keepCols; ++c) {
                const size_t from = size_t(cellIndex(r, c));
                const size_t to = size_t(r) * size_t(cols) + size_t(c);
                cells[to] = std::move(m_cells[from]);
                back[to] = m_back[from];
                fore[to] = m_fore[from];
            }
        }
        m_cells = std::move(cells);
        m_back = std::move(back);
        m_fore = std::move(fore);
        m_alignment.resize(size_t(cols), Alignment::Left);
        m_colWidth.resize(size_t(cols), 960);
    } else {
        const size_t cellCount = size_t(rows) * size_t(cols);
        m_cells.resize(cellCount);
        m_back.resize(cellCount, 0);
        m_fore.resize(cellCount, 0);
    }
    m_rowData.resize(size_t(rows), 0);
    if (rows < m_rows) {
        for (auto it = m_rowHeights.begin(); it != m_rowHeights.end();) {
            if (it.key() >= rows)
                it = m_rowHeights.erase(it);
            else
                ++it;
        }
    }
    m_rows = rows;
    m_cols = cols;
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
    m_fixedRows = fixedRows;
    clampPosition();
    cellsChanged(0, m_rows - 1, 0, m_cols - 1);
    return true;
}

bool GridTable::setFixedCols(int fixedCols)
{
    if (fixedCols < 0 || fixedCols > m_cols)
        return false;
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
    m_row = std::clamp(m_row, firstRow, lastRow);
    m_rowSel = std::clamp(m_rowSel, firstRow, lastRow);
    m_col = std::clamp(m_col, firstCol, lastCol);
    m_colSel = std::clamp(m_colSel, firstCol, lastCol);
    m_topRow = std::clamp(m_topRow, firstRow, std::max(firstRow, maxTopRow()));
    m_leftCol = std::clamp(m_leftCol, firstCol, lastCol);
    notifyPosition();
}

QString GridTable::textMatrix(int row, int col) const
{
    if (!isValidCell(row, col))
        return QString();
    return m_cells[size_t(cellIndex(row, col))];
}

bool GridTable::setTextMatrix(int row, int col, const QString& text)
{
    if (!isValidCell(row, col))
        return false;
    QString& cell = m_cells[size_t(cellIndex(row, col))];
    if (cell == text)
        return true;
    cell = text;
    cellsChanged(row, row, col, col);
    return true;
}

bool GridTable::addItem(QStringView tabSeparated)
{
    if (m_rows >= MaxRows)
        return false;
    const int newRow = m_rows;
    if (!frozen())
        beginInsertRows(QModelIndex(), newRow, newRow);
    resizeStorage(m_rows + 1, m_cols);
    int col = 0;
    qsizetype start = 0;
    while (col < m_cols) {
        const qsizetype tab = tabSeparated.indexOf(QLatin1Char('\t'), start);
        const qsizetype end = tab < 0 ? tabSeparated.size() : tab;
        m_cells[size_t(cellIndex(newRow, col))] = tabSeparated.mid(start, end - start).toString();
        ++col;
        if (tab < 0)
            break;
        start = tab + 1;
    }
    if (frozen())
        m_shapeDirty = true;
    else
        endInsertRows();
    clampPosition();
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
    m_cells.clear();
    m_back.clear();
    m_fore.clear();
    m_rowData.clear();
    resizeStorage(int(rows.size()), m_cols);
    for (size_t r = 0; r < rows.size(); ++r) {
        const QStringList& fields = rows[r];
        const int count = std::min<int>(int(fields.size()), m_cols);
        for (int c = 0; c < count; ++c)
            m_cells[size_t(cellIndex(int(r), c))] = fields[c];
    }
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
    m_rowData[size_t(row)] = value;
    return true;
}

int GridTable::rowHeight(int row) const
{
    if (row < 0 || row >= m_rows)
        return -1;
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
    m_row = row;
    m_rowSel = row;
    m_colSel = m_col;
    notifyPosition();
    return true;
}

bool GridTable::setCol(int col)
{
    if (col < m_fixedCols || col >= m_cols)
        return false;
    m_col = col;
    m_rowSel = m_row;
    m_colSel = col;
    notifyPosition();
    return true;
}

bool GridTable::setRowSel(int row)
{
    if (row < m_fixedRows || row >= m_rows)
        return false;
    m_rowSel = row;
    notifyPosition();
    return true;
}

bool GridTable::setColSel(int col)
{
    if (col < m_fixedCols || col >= m_cols)
        return false;
    m_colSel = col;
    notifyPosition();
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
    m_topRow = row;
    notifyPosition();
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
    m_leftCol = col;
    notifyPosition();
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
    quint32& cell = m_back[size_t(cellIndex(m_row, m_col))];
    if (cell != colour) {
        cell = colour;
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
    quint32& cell = m_fore[size_t(cellIndex(m_row, m_col))];
    if (cell != colour) {
        cell = colour;
        cellsChanged(m_row, m_row, m_col, m_col);
    }
    return true;
}

quint32 GridTable::backColorAt(int row, int col) const
{
    return isValidCell(row, col) ? m_back[size_t(cellIndex(row, col))] : 0;
}

quint32 GridTable::foreColorAt(int row, int col) const
{
    return isValidCell(row, col) ? m_fore[size_t(cellIndex(row, col))] : 0;
}

bool GridTable::setRowColours(int row, int firstCol, quint32 back, quint32 fore)
{
    if (row < 0 || row >= m_rows || firstCol < 0 || firstCol >= m_cols)
        return false;
    bool changed = false;
    for (int c = firstCol; c < m_cols; ++c) {
        const size_t cell = size_t(cellIndex(row, c));
        changed = changed || m_back[cell] != back || m_fore[cell] != fore;
        m_back[cell] = back;
        m_fore[cell] = fore;
    }
    if (changed)
        cellsChanged(row, row, firstCol, m_cols - 1);
    return true;
}

bool GridTable::exchangeTexts(int rowA, int rowB, int col)
{
    if (!isValidCell(rowA, col) || !isValidCell(rowB, col))
        return false;
    if (rowA == rowB)
        return true;
    QString& a = m_cells[size_t(cellIndex(rowA, col))];
    QString& b = m_cells[size_t(cellIndex(rowB, col))];
    if (a == b)
        return true;
    a.swap(b);
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
    if (m_positionDirty) {
        m_positionDirty = false;
        emit positionChanged();
    }
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
        return m_cells[size_t(cellIndex(row, col))];
    case Qt::TextAlignmentRole: {
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (m_alignment[size_t(col)] == Alignment::Right)
            horizontal = Qt::AlignRight;
        else if (m_alignment[size_t(col)] == Alignment::Center)
            horizontal = Qt::AlignHCenter;
        return QVariant::fromValue(int(horizontal | Qt::AlignVCenter));
    }
    case BackColorRole:
        return QVariant::fromValue(m_back[size_t(cellIndex(row, col))]);
    case ForeColorRole:
        return QVariant::fromValue(m_fore[size_t(cellIndex(row, col))]);
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
