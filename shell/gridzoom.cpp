#include "gridzoom.h"

#include "flexgrid.h"
#include "gridlayout.h"
#include "namefit.h"
#include "station.h"
#include "statusline.h"
#include "textmeasurer.h"
#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

using twips::fromPixels;
using twips::toPixels;

// The status line below the grid: its least height and the gap above it, in twips, and its least letter size.
constexpr int statusLineHeight = 390;
constexpr int statusLineGap = 60;
constexpr double statusLinePoints = 10;

QFont statusFont(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Bold);
    return font;
}

// The window's outer width in pixels: its frame once it is on screen, its own width before that (no
// frame is known yet).
int outerWidthPixels(const QWidget& window)
{
    return window.isVisible() ? window.frameGeometry().width() : window.width();
}

} // namespace

GridZoom::GridZoom(
    QWidget& window, QWidget& client, FlexGrid& grid, QWidget& measuring, StatusLine& statusLine, Station& station)
    : QObject(&window)
    , m_window(window)
    , m_client(client)
    , m_grid(grid)
    , m_measuring(measuring)
    , m_statusLine(statusLine)
    , m_station(station)
{
    m_statusLine.setFont(statusFont(statusLinePoints));
    connect(&m_station, &Station::layoutNeeded, this, &GridZoom::adjust_grid);
    for (auto read : { &Station::listRebuilt, &Station::listReplaced, &Station::listMerged })
        connect(&m_station, read, this, &GridZoom::fitOnFirstList);
}

void GridZoom::adjust_grid()
{
    const GridTable& table = m_station.working();

    const double size = gridlayout::fontSize(outerWidthPixels(m_window), m_station.state().scale);
    m_measuring.setFont(gridlayout::layoutFont(m_measuring.font(), size));

    // The status line along the bottom, within the window's margins, its letters as large as the list's (never
    // below its designed size); the grid has what is left above it.
    const QFont font = statusFont(std::max(statusLinePoints, size));
    if (font != m_statusLine.font())
        m_statusLine.setFont(font);
    const int statusHeight = std::max(toPixels(statusLineHeight), m_statusLine.sizeHint().height());
    m_statusLine.setGeometry(m_grid.x(), m_client.height() - toPixels(gridlayout::edgeMargin) - statusHeight,
        std::max(0, m_client.width() - m_grid.x() - toPixels(gridlayout::edgeMargin)), statusHeight);

    // A window too small for the grid leaves it at the size it had.
    const std::optional<int> height = gridlayout::gridExtent(
        fromPixels(m_client.height()) - fromPixels(statusHeight) - statusLineGap, fromPixels(m_grid.y()));
    const std::optional<int> width = gridlayout::gridExtent(fromPixels(m_client.width()), fromPixels(m_grid.x()));
    m_grid.resize(width ? toPixels(*width) : m_grid.width(), height ? toPixels(*height) : m_grid.height());

    TextMeasurer measurer(m_measuring.font());
    const gridlayout::ColumnWidths widths
        = namefit::columnWidths(namefit::measure(table, measurer), table.cols(), fromPixels(m_grid.width()));
    // FlexGrid takes the size over in whole pixels and derives the row height from it.
    m_station.layOutGrid(size, std::vector<std::optional<int>>(widths.begin(), widths.end()));
}

void GridZoom::zoomStep(double factor)
{
    // The official chose a zoom: the first list keeps it.
    m_fitPending = false;
    m_autoFit = false;
    m_station.setScale(gridlayout::zoomStep(m_station.state().scale, factor, outerWidthPixels(m_window)));
    adjust_grid();
}

void GridZoom::passend()
{
    // The official chose the fit: it stays the zoom whatever the window's size does.
    m_autoFit = false;
    fit();
}

void GridZoom::fit()
{
    // Without the office's list there are no names to fit (an empty line fits any font).
    if (!m_station.state().klasbekend || m_station.listState() == ListState::Empty)
        return;
    m_fitPending = false;
    // The grid's width as the layout gives it at this window, whatever size the grid has now.
    const std::optional<int> width = gridlayout::gridExtent(fromPixels(m_client.width()), fromPixels(m_grid.x()));
    const GridTable& table = m_station.working();
    const double outer = outerWidthPixels(m_window);
    const double fitted = namefit::fitScale(namefit::measuredAt(table, m_measuring.font()), table.cols(), outer,
        width ? *width : fromPixels(m_grid.width()));
    // Rows of at least a thirtieth of the screen's height, in the grid's own font.
    const QScreen* shownOn = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    const QFont gridFont = m_measuring.font();
    const int floor = namefit::floorPixels(shownOn ? shownOn->geometry().height() : 0,
        [&gridFont](int pixels) { return FlexGrid::rowHeightFor(gridlayout::layoutFont(gridFont, pixels * 0.75)); });
    // The floor is for the window that fills the screen: a smaller window has it in proportion to its width.
    const int screenWidth = shownOn ? shownOn->availableGeometry().width() : int(outer);
    m_station.setScale(namefit::readableScale(fitted, floor, screenWidth));
    adjust_grid();
}

void GridZoom::fitOnFirstList()
{
    // Without a saved zoom the first list is sized to the window, once it is on screen with its real width and
    // the office's list is read (until then the grid holds an empty line).
    if (!m_fitPending || !m_window.isVisible() || !m_station.listShown() || !m_station.state().klasbekend
        || m_station.working().rows() < 2)
        return;
    m_autoFit = true;
    fit();
}

void GridZoom::windowResized()
{
    // The station's own fit follows the window to its size on screen (a first start's maximised window gets
    // it after it is shown); once, after a burst of resizes.
    if (!m_autoFit || m_refitQueued)
        return;
    m_refitQueued = true;
    QTimer::singleShot(100, this, [this] {
        m_refitQueued = false;
        if (m_autoFit)
            fit();
    });
}
