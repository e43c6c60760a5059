#pragma once

#include "columns.h"
#include "zoomfactor.h"

#include <QFont>
#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

class GridTable;
class TextMeasurer;

// The arithmetic of the main window's layout and zoom, apart from the widgets it is applied to: how the
// button strip, the heading labels and the grid follow the window's width, the grid's font size from
// the window's outer width and the zoom factor, the refused zoom steps, and the column widths from the
// cell texts and the width the grid has. Positions and sizes are in twips, font sizes in points.
namespace gridlayout {

// Below this client width the strip's right-anchored controls stop moving left.
inline constexpr int minimumClientWidth = 4000;
// The gap kept to the right and bottom edge of the window.
inline constexpr int edgeMargin = 120;
inline constexpr double minimumFontSize = 2;
inline constexpr double maximumFontSize = 50;
inline constexpr double minimumScale = zoomfactor::minimum;
inline constexpr double maximumScale = zoomfactor::maximum;
inline constexpr double zoomOutFactor = 0.9;
inline constexpr double zoomInFactor = 1.2;
// Room left beside the columns for the grid's borders (75) and its vertical scroll bar (270).
inline constexpr int gridBorderAllowance = 75;
inline constexpr int scrollBarAllowance = 270;
// Every measured cell carries this margin in front of its text.
inline constexpr QStringView cellMargin = u"   ";
inline constexpr int layoutColumns = column::Count;

// Where the resize handler puts the strip, its lines, the mutation indicator and the heading labels.
struct StripLayout
{
    int stripWidth = 0; // Picture1's width: the real client width
    int lineX2 = 0; // right end of Line1..Line4: the real client width
    int lblMutatieLeft = 0; // 120 twips from the right edge, never left of the 4000-twip window's
    int labelWidth = 0; // lblTitel, lblDatum and lblBegintijd end 120 twips from the right edge
};
StripLayout stripLayout(int clientWidthTwips, int lblMutatieWidth, int lblTitelLeft);

// The grid's font size: the window's outer width in pixels times the zoom factor, within 2..50 points
// (2 when it is not a number).
double fontSize(double outerWidthPixels, double scale);

// One zoom step by factor k (0.9 smaller, 1.2 larger): the new zoom factor, or the old one when the step
// would take the font on the current window below 2 or above 50 points.
double zoomStep(double scale, double factor, double outerWidthPixels);

// The font the grid and the measuring surface use at a size in points: whole pixels, round(F × 96 ÷ 72),
// so layout does not depend on the screen's DPI setting; no kerning.
QFont layoutFont(const QFont& base, double points);
// The whole pixels of that font (at least 1).
int pixelSize(double points);

// The grid's width or height when it fills the window up to the 120-twip margin from its top-left
// corner; nothing when the window is too small (the grid then keeps the size it had).
std::optional<int> gridExtent(int clientExtentTwips, int gridOriginTwips);

// Where the main window starts, in pixels: its frame (the window and frameExtra around it) centred in
// the screen's available area, the window first shrunk to fit that area when it is larger, though never
// below its minimum size. A window still larger than the area keeps its top-left corner in it, where the
// menu and the open button are. On a larger screen the window keeps its size.
QRect startFrame(QSize window, QSize frameExtra, QSize minimum, QRect available);

// Where the main window comes back at the next start, in pixels: the client area it had (`saved`, its frame
// `frame` around it) on the screen area that holds the most of that frame, shrunk to fit the area when it is
// larger (though never below the minimum size, as at the first start) and moved into it only as far as it
// must; a frame still larger than the area keeps its top-left corner in it. Nothing when no area holds any of
// it (its screen is gone, or the saved values are nonsense): the window then starts as at the first start.
std::optional<QRect> restoredGeometry(QRect saved, QMargins frame, QSize minimum, const QList<QRect>& available);

// Column widths in twips for the eleven columns; a column without a value keeps the width it had.
using ColumnWidths = std::array<std::optional<int>, layoutColumns>;

// The widest text of each column, margin included, over every row (the header too); column 0 is 0.
std::array<int, layoutColumns> naturalWidths(const GridTable& table, TextMeasurer& measurer);

// The widths to give the columns: columns 0, 1, 2 and 6 to 10 their natural widths, and columns 3, 4
// and 5 what is left of the grid's width, in proportion to their natural widths, 3 and 4 in whole
// pixels and 5 the rest. When the three have no natural width at all they keep theirs.
ColumnWidths columnWidths(const std::array<int, layoutColumns>& natural, int columnCount, int gridWidthTwips);

// Whether the rider, horse and club columns (3, 4 and 5) each get at least their natural width, so that their
// longest texts show whole.
bool namesFit(const std::array<int, layoutColumns>& natural, int columnCount, int gridWidthTwips);

} // namespace gridlayout
