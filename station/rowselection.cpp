#include "rowselection.h"

#include "gridtable.h"
#include "multiselect.h"

namespace {

// The grid's selection rules count the buttons and modifiers as the grid control reported them.
int buttonBits(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return codeMultiSelect::leftButton;
    case Qt::RightButton:
        return codeMultiSelect::rightButton;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int shiftBits(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? codeMultiSelect::shiftMask : 0)
        | (modifiers & Qt::ControlModifier ? codeMultiSelect::ctrlMask : 0) | (modifiers & Qt::AltModifier ? 4 : 0);
}

const codeMultiSelect::PaintRow& painter()
{
    static const codeMultiSelect::PaintRow paint = codeMultiSelect::paintSelectionRow;
    return paint;
}

} // namespace

void RowSelection::mouseDown(GridTable& grid, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_keyboard.forget();
    codeMultiSelect::GridMultiSelect_MouseDown(
        grid, buttonBits(button), shiftBits(modifiers), m_shiftDown, m_ctrlDown, painter());
}

void RowSelection::mouseUp(GridTable& grid, Qt::MouseButton button)
{
    codeMultiSelect::GridMultiSelect_MouseUp(grid, buttonBits(button), m_shiftDown, m_ctrlDown, painter());
}

void RowSelection::keyDown(Qt::KeyboardModifiers modifiers)
{
    codeMultiSelect::GridMultiSelect_KeyDown(shiftBits(modifiers), m_shiftDown, m_ctrlDown);
}

void RowSelection::keyUp()
{
    codeMultiSelect::GridMultiSelect_KeyUp(m_shiftDown, m_ctrlDown);
}

void RowSelection::selChange(GridTable& grid)
{
    codeMultiSelect::GridMultiSelect_SelChange(grid, m_shiftDown, m_ctrlDown, painter());
}

void RowSelection::refresh(GridTable& grid)
{
    codeMultiSelect::GridMultiSelect_Refresh(grid, painter());
}

void RowSelection::selectRow(GridTable& grid, int row)
{
    grid.setRow(row);
    grid.setRowSel(row);
    selChange(grid);
}

void RowSelection::addRow(GridTable& grid, int row)
{
    grid.setRowData(row, 1);
    refresh(grid);
}

void RowSelection::extend(GridTable& grid, KeyboardSelection::Step step)
{
    m_keyboard.extend(grid, step, painter());
}

void RowSelection::moveCurrent(GridTable& grid, KeyboardSelection::Step step)
{
    m_keyboard.moveCurrent(grid, step, painter());
}

void RowSelection::toggleCurrent(GridTable& grid)
{
    m_keyboard.toggleCurrent(grid, painter());
}

bool RowSelection::typeNumber(GridTable& grid, QChar digit, qint64 timestamp)
{
    const int row = m_typeAhead.type(digit, timestamp, grid);
    if (row < 0)
        return false;
    m_keyboard.select(grid, row, painter());
    return true;
}
