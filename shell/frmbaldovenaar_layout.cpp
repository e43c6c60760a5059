// Layout and zoom of the main window: the resize handler, adjust_grid and the zoom step. The numbers
// come from gridlayout; this file only reads the controls' positions and applies the results.
#include "frmbaldovenaar.h"

#include "flexgrid.h"
#include "gridlayout.h"
#include "textmeasurer.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <algorithm>
#include <cmath>

namespace {

using twips::fromPixels;
using twips::toPixels;

// The window's outer width in pixels: its frame once it is on screen, its own width before that (no
// frame is known yet).
int outerWidthPixels(const QWidget& window)
{
    return window.isVisible() ? window.frameGeometry().width() : window.width();
}

} // namespace

void FrmBaldovenaar::Form_Resize()
{
    // The platform can deliver a resize while the window is still being built.
    if (!m_client || !m_picture1 || !m_lblMutatie || !m_lblTitel || !m_lblDatum || !m_lblBegintijd)
        return;
    const gridlayout::StripLayout strip
        = gridlayout::stripLayout(fromPixels(m_client->width()), fromPixels(m_lblMutatie->width()), fromPixels(m_lblTitel->x()));

    m_picture1->resize(toPixels(strip.stripWidth), m_picture1->height());
    for (QFrame* line : m_lines) {
        if (line)
            line->resize(std::max(0, toPixels(strip.lineX2) - line->x()), line->height());
    }
    m_lblMutatie->move(toPixels(strip.lblMutatieLeft), m_lblMutatie->y());
    for (QLabel* label : { m_lblTitel, m_lblDatum, m_lblBegintijd })
        label->resize(std::max(0, toPixels(strip.labelWidth)), label->height());

    adjust_grid(m_grid1);
}

void FrmBaldovenaar::adjust_grid(FlexGrid* grid)
{
    if (!grid || !grid->table() || !m_client || !m_picTemp)
        return;
    GridTable& table = *grid->table();

    const double size = gridlayout::fontSize(outerWidthPixels(*this), m_state.scale);
    m_picTemp->setFont(gridlayout::layoutFont(m_picTemp->font(), size));
    // FlexGrid takes the size over in whole pixels and derives the row height from it.
    table.setFontSize(size);

    // A window too small for the grid leaves it at the size it had.
    const std::optional<int> height = gridlayout::gridExtent(fromPixels(m_client->height()), fromPixels(grid->y()));
    const std::optional<int> width = gridlayout::gridExtent(fromPixels(m_client->width()), fromPixels(grid->x()));
    grid->resize(width ? toPixels(*width) : grid->width(), height ? toPixels(*height) : grid->height());

    TextMeasurer measurer(m_picTemp->font());
    gridlayout::adjustColumns(table, measurer, fromPixels(grid->width()));
}

void FrmBaldovenaar::zoomStep(double factor)
{
    // The factor reaches the settings only when the window closes.
    m_state.scale = gridlayout::zoomStep(m_state.scale, factor, outerWidthPixels(*this));
    adjust_grid(m_grid1);
}
