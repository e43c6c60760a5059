#include "flexgrid.h"

#include "changemarks.h"
#include "colours.h"
#include "columns.h"
#include "gridlayout.h"
#include "gridtable.h"
#include "textmeasurer.h"
#include "twips.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QTouchEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

FlexGrid::FlexGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    // The grip on the Volg cell shows as the pointer passes; a finger's touches come as touches, so a held
    // finger can start a drag where a swipe scrolls.
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    m_holdTimer = new QTimer(this);
    m_holdTimer->setSingleShot(true);
    m_holdTimer->setInterval(touchHoldTime);
    connect(m_holdTimer, &QTimer::timeout, this, &FlexGrid::touchHeld);
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::setTable(GridTable* table)
{
    if (m_table)
        disconnect(m_table, nullptr, this, nullptr);
    m_table = table;
    if (m_table) {
        connect(m_table, &QAbstractItemModel::modelReset, this, &FlexGrid::tableReset);
        connect(m_table, &QAbstractItemModel::rowsInserted, this, &FlexGrid::tableReset);
        connect(m_table, &QAbstractItemModel::rowsRemoved, this, &FlexGrid::tableReset);
        connect(m_table, &QAbstractItemModel::columnsInserted, this, &FlexGrid::tableReset);
        connect(m_table, &QAbstractItemModel::columnsRemoved, this, &FlexGrid::tableReset);
        connect(m_table, &QAbstractItemModel::dataChanged, viewport(), qOverload<>(&QWidget::update));
        connect(m_table, &GridTable::positionChanged, this, &FlexGrid::syncFromTable);
        connect(m_table, &GridTable::columnWidthsChanged, this, &FlexGrid::tableReset);
        connect(m_table, &GridTable::rowHeightsChanged, this, &FlexGrid::tableReset);
        connect(m_table, &GridTable::fontChanged, this, &FlexGrid::applyFont);
        applyFont();
    }
    tableReset();
}

QFont FlexGrid::gridFont() const
{
    QFont f(m_table ? m_table->fontName() : QStringLiteral("Arial"));
    const double points = m_table ? m_table->fontSize() : 8.25;
    f.setPixelSize(std::max(1, int(std::lround(points * 96.0 / 72.0))));
    f.setKerning(false);
    // In the sunlight every text is bold; the layout measures it so.
    if (m_sunlight)
        f.setWeight(QFont::Bold);
    return f;
}

QFont FlexGrid::cellFont(bool officeMark) const
{
    QFont f = font();
    if (officeMark)
        f.setWeight(QFont::Bold);
    return f;
}

double FlexGrid::textWidth(const QString& text, bool officeMark) const
{
    // The regular font's widths as the layout measured them, so what the layout gave room is never cut.
    if (!officeMark || m_sunlight)
        return m_measurer ? m_measurer->widthPixels(text) : QFontMetricsF(font()).horizontalAdvance(text);
    return QFontMetricsF(cellFont(true)).horizontalAdvance(text);
}

bool FlexGrid::officeMarked(int row, int col) const
{
    return m_marks && m_table && row >= m_table->fixedRows() && m_marks->officeChanged(row, col);
}

bool FlexGrid::isCut(int row, int col) const
{
    if (!m_table || !m_table->isValidCell(row, col))
        return false;
    const QString text = m_table->textMatrix(row, col);
    const QRect area = textRect(row, col);
    return !text.isEmpty() && !area.isEmpty() && textWidth(text, officeMarked(row, col)) > area.width();
}

QString FlexGrid::cellToolTip(int row, int col) const
{
    if (!m_table || !m_table->isValidCell(row, col))
        return QString();
    QStringList parts;
    if (isCut(row, col))
        parts << m_table->textMatrix(row, col);
    if (m_marks && row >= m_table->fixedRows()) {
        if (m_marks->officeAdded(row))
            parts << QStringLiteral("Nieuw in de lijst van het secretariaat");
        else if (m_marks->officeChanged(row, col))
            parts << QStringLiteral("Gewijzigd door het secretariaat");
        if (col == column::Position && m_marks->unsent(row))
            parts << QStringLiteral("Verplaatst of gemeld, nog niet verzonden");
    }
    if (col == column::Position && row == m_markedRow)
        parts << QStringLiteral("In de ring");
    if (col == column::Position && m_warnedRows.contains(row))
        parts << QStringLiteral("Deze ruiter rijdt kort na elkaar (zie de statusregel)");
    if (col == column::Time && m_timeTip && row >= m_table->fixedRows()) {
        const QString tip = m_timeTip(row);
        if (!tip.isEmpty())
            parts << tip;
    }
    return parts.join(u'\n');
}

bool FlexGrid::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return touchEvent(static_cast<QTouchEvent*>(event));
    default:
        break;
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int row = rowAt(help->pos().y());
        const int col = colAt(help->pos().x());
        const QString tip = cellToolTip(row, col);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), cellRect(row, col));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void FlexGrid::setSunlight(bool sunlight)
{
    if (sunlight == m_sunlight)
        return;
    m_sunlight = sunlight;
    applyFont();
}

void FlexGrid::setChangeMarks(const ChangeMarks* marks)
{
    if (m_marks)
        disconnect(m_marks, nullptr, viewport(), nullptr);
    m_marks = marks;
    if (m_marks)
        connect(m_marks, &ChangeMarks::changed, viewport(), qOverload<>(&QWidget::update));
    viewport()->update();
}

void FlexGrid::applyFont()
{
    if (!m_table)
        return;
    const QFont f = gridFont();
    setFont(f);
    m_table->setDefaultRowHeight(twips::fromPixels(rowHeightFor(f)));
    // The layout gives a column its widest text and a margin of three spaces. Of that margin the column
    // loses up to a pixel to whole pixels and one to its grid line; the rest is air, shared by both
    // sides of the text. So what the layout measured as fitting is drawn whole at every font size, and
    // at large sizes the text keeps clear of the grid lines in proportion.
    m_measurer = std::make_unique<TextMeasurer>(f);
    const double air = m_measurer->widthPixels(gridlayout::cellMargin) - 2;
    m_textInset = std::max(0, int(std::floor(air / 2)));
    tableReset();
}

int FlexGrid::rowHeightFor(const QFont& font)
{
    // The Windows grid's rows are the font's height and a few pixels of air.
    return QFontMetrics(font).height() + 4;
}

int FlexGrid::rowHeightPixels() const
{
    return m_table ? std::max(1, twips::toPixels(m_table->defaultRowHeight())) : 16;
}

int FlexGrid::columnPixels(int col) const
{
    return m_table ? std::max(0, twips::toPixels(m_table->colWidth(col))) : 0;
}

int FlexGrid::fixedRowsHeight() const
{
    return m_table ? m_table->fixedRows() * rowHeightPixels() : 0;
}

int FlexGrid::fixedColsWidth() const
{
    int width = 0;
    for (int c = 0; m_table && c < m_table->fixedCols(); ++c)
        width += columnPixels(c);
    return width;
}

int FlexGrid::visibleRows() const
{
    const int available = viewport()->height() - fixedRowsHeight();
    return std::max(1, available / rowHeightPixels());
}

void FlexGrid::tableReset()
{
    updateScrollBars();
    viewport()->update();
}

void FlexGrid::updateScrollBars()
{
    if (!m_table)
        return;
    m_table->setPageRows(visibleRows());
    m_syncing = true;
    const int scrollRows = std::max(0, m_table->maxTopRow() - m_table->fixedRows());
    verticalScrollBar()->setRange(0, scrollRows);
    verticalScrollBar()->setPageStep(visibleRows());
    verticalScrollBar()->setValue(m_table->topRow() - m_table->fixedRows());
    int total = 0;
    for (int c = 0; c < m_table->cols(); ++c)
        total += columnPixels(c);
    const int lastScrollCol = std::max(m_table->fixedCols(), m_table->cols() - 1);
    horizontalScrollBar()->setRange(0, total > viewport()->width() ? lastScrollCol - m_table->fixedCols() : 0);
    horizontalScrollBar()->setPageStep(1);
    horizontalScrollBar()->setValue(m_table->leftCol() - m_table->fixedCols());
    m_syncing = false;
}

void FlexGrid::syncFromTable()
{
    updateScrollBars();
    viewport()->update();
}

void FlexGrid::scrollContentsBy(int, int)
{
    if (m_syncing || !m_table)
        return;
    m_table->setTopRow(m_table->fixedRows() + verticalScrollBar()->value());
    m_table->setLeftCol(m_table->fixedCols() + horizontalScrollBar()->value());
    viewport()->update();
}

void FlexGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void FlexGrid::wheelEvent(QWheelEvent* event)
{
    // The wheel is handled for the whole window, one row per event; the grid itself does not scroll.
    event->ignore();
}

int FlexGrid::rowAt(int y) const
{
    if (!m_table || y < 0)
        return -1;
    const int rowHeight = rowHeightPixels();
    if (y < fixedRowsHeight())
        return y / rowHeight;
    const int row = m_table->topRow() + (y - fixedRowsHeight()) / rowHeight;
    return row < m_table->rows() ? row : -1;
}

int FlexGrid::colAt(int x) const
{
    if (!m_table || x < 0)
        return -1;
    int left = 0;
    for (int c = 0; c < m_table->fixedCols(); ++c) {
        left += columnPixels(c);
        if (x < left)
            return c;
    }
    for (int c = std::max(m_table->leftCol(), m_table->fixedCols()); c < m_table->cols(); ++c) {
        left += columnPixels(c);
        if (x < left)
            return c;
    }
    return -1;
}

QRect FlexGrid::cellRect(int row, int col) const
{
    if (!m_table || !m_table->isValidCell(row, col))
        return QRect();
    const int rowHeight = rowHeightPixels();
    int y;
    if (row < m_table->fixedRows())
        y = row * rowHeight;
    else if (row >= m_table->topRow())
        y = fixedRowsHeight() + (row - m_table->topRow()) * rowHeight;
    else
        return QRect();
    int x = 0;
    if (col < m_table->fixedCols()) {
        for (int c = 0; c < col; ++c)
            x += columnPixels(c);
    } else {
        if (col < m_table->leftCol())
            return QRect();
        x = fixedColsWidth();
        for (int c = m_table->leftCol(); c < col; ++c)
            x += columnPixels(c);
    }
    return QRect(x, y, columnPixels(col), rowHeight);
}

QRect FlexGrid::textArea(const QRect& cell) const
{
    // The cell's last pixel column is its grid line.
    return cell.adjusted(m_textInset, 0, -1 - m_textInset, 0);
}

QRect FlexGrid::textRect(int row, int col) const
{
    const QRect cell = cellRect(row, col);
    return cell.isEmpty() ? QRect() : textArea(cell);
}

namespace {

// Draws the chosen edges of a frame of `width` pixels inside a cell.
void frameEdges(
    QPainter& painter, const QRect& cell, int width, const QColor& colour, bool top, bool bottom, bool left, bool right)
{
    if (top)
        painter.fillRect(QRect(cell.left(), cell.top(), cell.width(), width), colour);
    if (bottom)
        painter.fillRect(QRect(cell.left(), cell.bottom() - width + 1, cell.width(), width), colour);
    if (left)
        painter.fillRect(QRect(cell.left(), cell.top(), width, cell.height()), colour);
    if (right)
        painter.fillRect(QRect(cell.right() - width + 1, cell.top(), width, cell.height()), colour);
}

} // namespace

void FlexGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPalette pal = palette();
    const colours::GridLook look = colours::gridLook(m_sunlight, pal);
    painter.fillRect(event->rect(), look.page);
    if (!m_table || m_table->cols() == 0)
        return;
    const GridTable& t = *m_table;
    const QFont regular = font();
    const QFont bold = cellFont(true);
    const QFontMetrics regularMetrics(regular);
    const QFontMetrics boldMetrics(bold);

    const int rowHeight = rowHeightPixels();
    const int viewHeight = viewport()->height();
    const int viewWidth = viewport()->width();
    const int rangeTop = std::min(t.row(), t.rowSel());
    const int rangeBottom = std::max(t.row(), t.rowSel());
    const int rangeLeft = std::min(t.col(), t.colSel());
    const int rangeRight = std::max(t.col(), t.colSel());
    const bool rangeShown = rangeTop != rangeBottom || rangeLeft != rangeRight;
    const bool anyOfficeMarks = m_marks && m_marks->hasOfficeChanges();
    // Frames thick enough to see from the ring, thicker in the sunlight.
    const int frameWidth = std::max(m_sunlight ? 3 : 2, rowHeight / (m_sunlight ? 10 : 14));

    // The columns painted, left to right: those with a width, up to the viewport's edge.
    std::vector<int> columns;
    {
        int x = 0;
        auto add = [&](int c) {
            const int width = columnPixels(c);
            if (width > 0 && x < viewWidth) {
                columns.push_back(c);
                x += width;
            }
        };
        for (int c = 0; c < t.fixedCols(); ++c)
            add(c);
        for (int c = std::max(t.leftCol(), t.fixedCols()); c < t.cols(); ++c)
            add(c);
    }

    const auto highlighted = [&](int row, int c) {
        return rangeShown && row >= rangeTop && row <= rangeBottom && c >= rangeLeft && c <= rangeRight;
    };
    // Whether a data cell shows as selected: in the grid's own range, or painted so by the row selection.
    const auto selectedLook = [&](int row, int c) {
        if (row < t.fixedRows() || row >= t.rows() || c < t.fixedCols())
            return false;
        return highlighted(row, c) || t.backColorAt(row, c) == colours::selectedRow;
    };

    auto paintRow = [&](int row, int y) {
        int x = 0;
        const bool fixedRow = row < t.fixedRows();
        const bool unsent = m_marks && !fixedRow && m_marks->unsent(row);
        const bool added = anyOfficeMarks && !fixedRow && m_marks->officeAdded(row);
        for (size_t i = 0; i < columns.size(); ++i) {
            const int c = columns[i];
            const int width = columnPixels(c);
            const QRect cell(x, y, width, rowHeight);
            x += width;
            if (!event->rect().intersects(cell))
                continue;
            const bool fixed = fixedRow || c < t.fixedCols();
            const bool selected = !fixed && (m_sunlight ? selectedLook(row, c) : highlighted(row, c));
            QColor back;
            QColor fore;
            if (fixed) {
                back = look.header;
                fore = look.headerText;
            } else {
                back = colours::cellBack(look, t.backColorAt(row, c), selected, pal);
                fore = colours::cellText(look, t.foreColorAt(row, c), pal);
            }
            painter.fillRect(cell, back);
            painter.setPen(fixed ? look.headerLine : look.gridLine);
            painter.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
            painter.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());

            const bool officeMark = anyOfficeMarks && !fixed && m_marks->officeChanged(row, c);
            const QString text = t.textMatrix(row, c);
            const QRect area = textArea(cell);
            // A column narrower than its air shows no text at all rather than stray pixels of it.
            if (!text.isEmpty() && area.width() > 0) {
                Qt::Alignment align = Qt::AlignVCenter;
                switch (t.colAlignment(c)) {
                case GridTable::Alignment::Left:
                    align |= Qt::AlignLeft;
                    break;
                case GridTable::Alignment::Center:
                    align |= Qt::AlignHCenter;
                    break;
                case GridTable::Alignment::Right:
                    align |= Qt::AlignRight;
                    break;
                }
                const bool cut = textWidth(text, officeMark) > area.width();
                // Cut short, a text ends in "…" (its tooltip shows it whole) instead of stopping mid-letter.
                const QString shown = cut
                    ? (officeMark ? boldMetrics : regularMetrics).elidedText(text, Qt::ElideRight, area.width())
                    : text;
                painter.setFont(officeMark ? bold : regular);
                painter.setPen(fore);
                painter.drawText(area, int(align) | Qt::TextSingleLine, shown);
            }

            // The selection in the sunlight: a dark frame around each run of selected cells, so it stands out
            // from white rows in any light.
            if (m_sunlight && selected) {
                const bool firstShown = i == 0 || columns[i - 1] < t.fixedCols();
                frameEdges(painter, cell, frameWidth, look.frame, !selectedLook(row - 1, c), !selectedLook(row + 1, c),
                    firstShown || !selectedLook(row, columns[i - 1]),
                    i + 1 == columns.size() || !selectedLook(row, columns[i + 1]));
            }
            // A starter the office added: a frame around the row; a text it changed: a frame around the cell.
            if (added)
                frameEdges(painter, cell, frameWidth, look.frame, true, true, i == 0 || columns[i - 1] < t.fixedCols(),
                    i + 1 == columns.size());
            else if (officeMark)
                frameEdges(painter, cell, frameWidth, look.frame, true, true, true, true);
            // A row the ring changed and has not sent: a bar down the left edge of its position, as an editor
            // marks changed lines; the ring pointer's triangle, the other mark there, stands to its right.
            if (unsent && c == column::Position)
                painter.fillRect(
                    QRect(cell.left() + 1, cell.top() + 1, unsentBarWidth(rowHeight), rowHeight - 2), look.frame);
        }
    };

    int y = 0;
    for (int r = 0; r < t.fixedRows() && y < viewHeight; ++r, y += rowHeight)
        paintRow(r, y);
    for (int r = std::max(t.topRow(), t.fixedRows()); r < t.rows() && y < viewHeight; ++r, y += rowHeight)
        paintRow(r, y);

    paintMarker(painter);
    paintWarnings(painter);
    paintFocusFrame(painter);
    paintLanding(painter);
    // A list that is not up to date is shown through a grey veil: still readable, plainly not current.
    if (m_stale)
        painter.fillRect(event->rect(), look.veil);
}

void FlexGrid::paintFocusFrame(QPainter& painter)
{
    const GridTable& t = *m_table;
    if (!hasFocus() || !t.isValidCell(t.row(), t.col()) || t.row() < t.fixedRows())
        return;
    // The keys work on the current row: with the focus in the grid it is framed whole, two pixels of black
    // that stand out on the selection's green as on white, so an official who works from the keyboard sees
    // at a glance where the keys act.
    QRect row;
    for (int c = 0; c < t.cols(); ++c)
        row |= cellRect(t.row(), c);
    if (row.isEmpty())
        return;
    row.setRight(std::min(row.right(), viewport()->width() - 1));
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(row.adjusted(1, 1, -1, -1));
    // The current cell within it, as the grid always showed it.
    const QRect current = cellRect(t.row(), t.col());
    if (!current.isEmpty()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(current.adjusted(3, 3, -4, -4));
    }
}

void FlexGrid::setMarkedRow(int row)
{
    if (row == m_markedRow)
        return;
    m_markedRow = row;
    viewport()->update();
}

int FlexGrid::unsentBarWidth(int rowHeight) const
{
    return std::max(3, std::min(m_textInset + 1, rowHeight / 5));
}

void FlexGrid::paintMarker(QPainter& painter)
{
    const GridTable& t = *m_table;
    if (m_markedRow < t.fixedRows() || m_markedRow >= t.rows())
        return;
    QRect row;
    for (int c = 0; c < t.cols(); ++c)
        row |= cellRect(m_markedRow, c);
    if (row.isEmpty())
        return;
    // A black triangle pointing into the row at its left edge, outlined in white: it reads on every
    // background, in black and white too, and leaves the position's number (right-aligned) clear.
    const int height = std::max(6, row.height() * 3 / 5);
    const int top = row.top() + (row.height() - height) / 2;
    const int left = row.left() + 2 + unsentBarWidth(row.height());
    const QPolygon triangle(
        { QPoint(left, top), QPoint(left + height * 2 / 3, top + height / 2), QPoint(left, top + height) });
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPolygon(triangle);
    painter.restore();
}

void FlexGrid::setStale(bool stale)
{
    if (stale == m_stale)
        return;
    m_stale = stale;
    viewport()->update();
}

int FlexGrid::shiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int FlexGrid::windowsKeyCode(int qtKey)
{
    // Letters and digits have the same codes; the keys below are the ones the grid itself knows.
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    return qtKey;
}

FlexGrid::Position FlexGrid::position() const
{
    if (!m_table)
        return { -1, -1, -1, -1 };
    return { m_table->row(), m_table->col(), m_table->rowSel(), m_table->colSel() };
}

void FlexGrid::reportIfMoved(const Position& before)
{
    if (position() != before)
        emit selChange();
}

bool FlexGrid::isDataCell(int row, int col) const
{
    return m_table && row >= m_table->fixedRows() && row < m_table->rows() && col >= m_table->fixedCols()
        && col < m_table->cols();
}

void FlexGrid::ensureRowVisible(int row)
{
    if (!m_table)
        return;
    m_table->setPageRows(visibleRows());
    m_table->showRow(row);
}

void FlexGrid::ensureColVisible(int col)
{
    if (!m_table || col < m_table->fixedCols() || col >= m_table->cols())
        return;
    if (col < m_table->leftCol()) {
        m_table->setLeftCol(col);
        return;
    }
    // Scroll right until the whole column is shown, or it is the first scrolling column.
    while (m_table->leftCol() < col) {
        const QRect cell = cellRect(m_table->row(), col);
        if (!cell.isEmpty() && cell.right() < viewport()->width())
            break;
        if (!m_table->setLeftCol(m_table->leftCol() + 1))
            break;
    }
}

int FlexGrid::nextShownCol(int col, int step) const
{
    // Columns of width 0 (the hidden key column) are stepped over: the cursor never lands out of sight.
    for (int c = col + step; c >= m_table->fixedCols() && c < m_table->cols(); c += step) {
        if (columnPixels(c) > 0)
            return c;
    }
    return col;
}

int FlexGrid::dragRowAt(int y)
{
    const GridTable& t = *m_table;
    const int rowHeight = rowHeightPixels();
    if (y < fixedRowsHeight()) {
        // Dragging above the cells scrolls up a row at a time, as the Windows grid did.
        const int target = std::max(t.fixedRows(), t.topRow() - 1);
        ensureRowVisible(target);
        return target;
    }
    const int page = visibleRows();
    if (y >= fixedRowsHeight() + page * rowHeight) {
        const int target = std::min(t.rows() - 1, t.topRow() + page);
        ensureRowVisible(target);
        return target;
    }
    const int row = rowAt(y);
    return row < 0 ? t.rows() - 1 : std::max(row, t.fixedRows());
}

int FlexGrid::dragColAt(int x) const
{
    const GridTable& t = *m_table;
    const int col = colAt(x);
    if (col >= t.fixedCols())
        return col;
    if (x < 0 || col >= 0)
        return nextShownCol(std::max(t.fixedCols(), t.leftCol()) - 1, 1);
    return nextShownCol(t.cols(), -1);
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    if (!m_table) {
        event->ignore();
        return;
    }
    press(event->position().toPoint(), event->button(), event->modifiers());
}

void FlexGrid::press(const QPoint& at, Qt::MouseButton which, Qt::KeyboardModifiers modifiers)
{
    const int row = rowAt(at.y());
    const int col = colAt(at.x());
    m_table->setMouseRow(row);
    const int button = which == Qt::LeftButton ? 1 : which == Qt::RightButton ? 2 : which == Qt::MiddleButton ? 4 : 0;
    if (button == 0 || !isDataCell(row, col))
        return;
    m_pressed |= which;
    const int shift = shiftState(modifiers);
    emit mouseDown(button, shift, at.x(), at.y());
    if (!m_table || which != Qt::LeftButton)
        return;
    const Position before = position();
    if (shift & 1) {
        m_table->setRowSel(row);
        m_table->setColSel(col);
    } else {
        m_table->setRow(row);
        m_table->setCol(col);
    }
    reportIfMoved(before);
    // A plain press on the grip may become a drag once the pointer moves.
    m_drag = Drag();
    if (shift == 0 && isGrip(row, col)) {
        m_drag.armed = true;
        m_drag.from = row;
        m_drag.pressedAt = at;
    }
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_table)
        return;
    const QPoint at = event->position().toPoint();
    m_table->setMouseRow(rowAt(at.y()));
    if (!(event->buttons() & Qt::LeftButton))
        updateGripCursor(at);
    if (!(m_pressed & Qt::LeftButton) || !(event->buttons() & Qt::LeftButton)
        || m_table->rows() <= m_table->fixedRows())
        return;
    if (m_drag.armed && !m_drag.active
        && (at - m_drag.pressedAt).manhattanLength() >= QApplication::startDragDistance())
        beginDrag(m_drag.from);
    if (m_drag.active) {
        dragTo(at.y());
        return;
    }
    const Position before = position();
    const int row = dragRowAt(at.y());
    const int col = dragColAt(at.x());
    if (row != m_table->rowSel())
        m_table->setRowSel(row);
    if (col >= m_table->fixedCols() && col != m_table->colSel())
        m_table->setColSel(col);
    reportIfMoved(before);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_table)
        return;
    const QPoint at = event->position().toPoint();
    release(at, event->button(), event->modifiers());
    updateGripCursor(at);
}

void FlexGrid::release(const QPoint& at, Qt::MouseButton which, Qt::KeyboardModifiers modifiers)
{
    m_table->setMouseRow(rowAt(at.y()));
    if (!(m_pressed & which))
        return;
    m_pressed &= ~which;
    const int button = which == Qt::LeftButton ? 1 : which == Qt::RightButton ? 2 : 4;
    emit mouseUp(button, shiftState(modifiers), at.x(), at.y());
    // The drop after the release: the click is over before the line moves.
    if (which == Qt::LeftButton)
        endDrag(m_drag.active);
}

bool FlexGrid::isGrip(int row, int col) const
{
    return m_landing && m_dragEnabled && col == column::Position && isDataCell(row, col)
        && !isPauseKey(m_table->textView(row, column::Key));
}

void FlexGrid::updateGripCursor(const QPoint& at)
{
    if (m_drag.active)
        return;
    if (isGrip(rowAt(at.y()), colAt(at.x())))
        viewport()->setCursor(Qt::OpenHandCursor);
    else
        viewport()->unsetCursor();
}

void FlexGrid::setRowDrag(LandingRule landing)
{
    m_landing = std::move(landing);
}

void FlexGrid::setRowDragEnabled(bool enabled)
{
    m_dragEnabled = enabled;
    if (!enabled && (m_drag.active || m_drag.armed))
        endDrag(false);
}

void FlexGrid::beginDrag(int row)
{
    m_drag.armed = false;
    m_drag.active = true;
    m_drag.from = row;
    m_drag.landing = row;
    viewport()->setCursor(Qt::ClosedHandCursor);
    viewport()->update();
}

void FlexGrid::dragTo(int y)
{
    if (!m_drag.active || !m_table)
        return;
    const int landing = m_landing ? m_landing(m_drag.from, dragRowAt(y)) : m_drag.from;
    if (landing != m_drag.landing) {
        m_drag.landing = landing;
        viewport()->update();
    }
}

void FlexGrid::endDrag(bool drop)
{
    const Drag drag = std::exchange(m_drag, Drag());
    if (!drag.active)
        return;
    viewport()->unsetCursor();
    viewport()->update();
    if (drop && m_table && drag.landing != drag.from && drag.landing >= m_table->fixedRows())
        emit rowDragged(drag.from, drag.landing);
}

void FlexGrid::paintLanding(QPainter& painter)
{
    if (!m_drag.active || !m_table || m_drag.landing == m_drag.from)
        return;
    QRect row;
    for (int c = 0; c < m_table->cols(); ++c)
        row |= cellRect(m_drag.landing, c);
    if (row.isEmpty())
        return;
    // Above the row it lands on when it goes up, below it when it goes down: where it will stand.
    const int thickness = std::max(3, row.height() / 6);
    const int y = m_drag.landing < m_drag.from ? row.top() : row.bottom() - thickness + 1;
    const QRect line(row.left(), y, row.width(), thickness);
    painter.fillRect(line.adjusted(0, -1, 0, 1), Qt::white);
    painter.fillRect(line, Qt::black);
    // Arrow heads at both ends, so the line reads as a place between rows, not as a grid line.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const int h = thickness * 2;
    const int mid = y + thickness / 2;
    painter.drawPolygon(
        QPolygon({ QPoint(row.left(), mid - h), QPoint(row.left() + h, mid), QPoint(row.left(), mid + h) }));
    painter.drawPolygon(
        QPolygon({ QPoint(row.right(), mid - h), QPoint(row.right() - h, mid), QPoint(row.right(), mid + h) }));
    painter.restore();
}

void FlexGrid::setWarnedRows(const QList<int>& rows)
{
    if (rows == m_warnedRows)
        return;
    m_warnedRows = rows;
    viewport()->update();
}

void FlexGrid::setTimeTip(std::function<QString(int)> tip)
{
    m_timeTip = std::move(tip);
}

void FlexGrid::paintWarnings(QPainter& painter)
{
    if (!m_table)
        return;
    for (const int r : std::as_const(m_warnedRows)) {
        const QRect cell = cellRect(r, column::Rider);
        if (cell.isEmpty())
            continue;
        // A yellow triangle with an exclamation mark at the rider's cell's right end: read as a warning in
        // black and white too.
        const int size = std::max(8, cell.height() - 4);
        const int left = cell.right() - size - 2;
        const int top = cell.top() + (cell.height() - size) / 2;
        const QPolygon triangle(
            { QPoint(left + size / 2, top), QPoint(left + size, top + size), QPoint(left, top + size) });
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(QColor(255, 200, 0));
        painter.drawPolygon(triangle);
        QFont mark = font();
        mark.setBold(true);
        mark.setPixelSize(std::max(6, size * 2 / 3));
        painter.setFont(mark);
        painter.drawText(QRect(left, top + size / 4, size, size * 3 / 4), Qt::AlignCenter, QStringLiteral("!"));
        painter.restore();
    }
}

bool FlexGrid::touchEvent(QTouchEvent* event)
{
    if (!m_table)
        return false;
    const QList<QEventPoint>& points = event->points();
    const QPoint at = points.isEmpty() ? m_touch.at : points.first().position().toPoint();
    switch (event->type()) {
    case QEvent::TouchBegin:
        if (points.size() != 1)
            return false;
        m_touch = Touch { true, false, at, at, m_table->topRow() };
        m_holdTimer->start();
        event->accept();
        return true;
    case QEvent::TouchUpdate:
        if (!m_touch.down)
            return false;
        m_touch.at = at;
        if (m_drag.active) {
            dragTo(at.y());
        } else {
            if (!m_touch.swiped && (at - m_touch.startAt).manhattanLength() >= QApplication::startDragDistance()) {
                m_touch.swiped = true;
                m_holdTimer->stop();
            }
            // A swipe scrolls the list by whole rows, the way the finger goes.
            if (m_touch.swiped) {
                const int rows = (m_touch.startAt.y() - at.y()) / rowHeightPixels();
                m_table->setTopRow(std::clamp(m_touch.startTopRow + rows, m_table->fixedRows(),
                    std::max(m_table->fixedRows(), m_table->maxTopRow())));
            }
        }
        event->accept();
        return true;
    case QEvent::TouchEnd:
        m_holdTimer->stop();
        if (m_touch.down) {
            if (m_drag.active)
                release(m_touch.at, Qt::LeftButton, Qt::NoModifier);
            else if (!m_touch.swiped) {
                press(m_touch.startAt, Qt::LeftButton, Qt::NoModifier);
                release(m_touch.startAt, Qt::LeftButton, Qt::NoModifier);
            }
        }
        m_touch = Touch();
        event->accept();
        return true;
    case QEvent::TouchCancel:
        m_holdTimer->stop();
        if (m_drag.active) {
            endDrag(false);
            release(m_touch.at, Qt::LeftButton, Qt::NoModifier);
        }
        m_touch = Touch();
        event->accept();
        return true;
    default:
        return false;
    }
}

void FlexGrid::touchHeld()
{
    if (!m_touch.down || m_touch.swiped || !m_table)
        return;
    const int row = rowAt(m_touch.startAt.y());
    if (!isGrip(row, colAt(m_touch.startAt.x())))
        return;
    // The held finger presses the row as a click would, and picks the starter up.
    press(m_touch.startAt, Qt::LeftButton, Qt::NoModifier);
    if (m_drag.armed)
        beginDrag(row);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The Windows grid saw a double click as one more press (and its release follows).
    mousePressEvent(event);
}

bool FlexGrid::moveByKey(int key, bool extend)
{
    GridTable& t = *m_table;
    if (t.rows() <= t.fixedRows() || t.cols() <= t.fixedCols())
        return false;
    const int firstRow = t.fixedRows();
    const int lastRow = t.rows() - 1;
    const int fromRow = extend ? t.rowSel() : t.row();
    const int fromCol = extend ? t.colSel() : t.col();
    const int page = visibleRows();
    int row = fromRow;
    int col = fromCol;
    switch (key) {
    case Qt::Key_Up:
        row = std::max(firstRow, fromRow - 1);
        break;
    case Qt::Key_Down:
        row = std::min(lastRow, fromRow + 1);
        break;
    case Qt::Key_PageUp:
        row = std::max(firstRow, fromRow - page);
        t.setTopRow(std::max(firstRow, t.topRow() - page));
        break;
    case Qt::Key_PageDown:
        row = std::min(lastRow, fromRow + page);
        t.setTopRow(std::clamp(t.topRow() + page, firstRow, t.maxTopRow()));
        break;
    case Qt::Key_Home:
        row = firstRow;
        break;
    case Qt::Key_End:
        row = lastRow;
        break;
    case Qt::Key_Left:
        col = nextShownCol(fromCol, -1);
        break;
    case Qt::Key_Right:
        col = nextShownCol(fromCol, 1);
        break;
    default:
        return false;
    }
    if (extend) {
        t.setRowSel(row);
        t.setColSel(col);
    } else {
        // Setting Row or Col collapses the range onto the new current cell.
        if (row != t.row() || t.rowSel() != t.row() || t.colSel() != t.col())
            t.setRow(row);
        if (col != t.col())
            t.setCol(col);
    }
    ensureRowVisible(row);
    ensureColVisible(col);
    return true;
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    if (!m_table) {
        event->ignore();
        return;
    }
    if (m_drag.active && event->key() == Qt::Key_Escape) {
        // The starter goes back to where it was picked up: nothing moves.
        endDrag(false);
        event->accept();
        return;
    }
    const int shift = shiftState(event->modifiers());
    emit keyDown(windowsKeyCode(event->key()), shift);
    if (!m_table)
        return;
    const Position before = position();
    // Ctrl and Alt mean nothing to the grid: Ctrl+Down moves like Down.
    if (moveByKey(event->key(), (shift & 1) != 0)) {
        event->accept();
        reportIfMoved(before);
    } else {
        event->ignore();
    }
}

void FlexGrid::keyReleaseEvent(QKeyEvent* event)
{
    // An auto-repeating key sends a release before every repeated press; only the real release counts.
    if (event->isAutoRepeat() || !m_table) {
        event->ignore();
        return;
    }
    emit keyUp(windowsKeyCode(event->key()), shiftState(event->modifiers()));
}

void FlexGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void FlexGrid::focusOutEvent(QFocusEvent* event)
{
    // A message box or another window took the keys: a drag in progress drops nothing.
    endDrag(false);
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
