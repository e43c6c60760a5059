#pragma once

#include "gridlayout.h"

#include <QFont>
#include <array>
#include <functional>
#include <vector>

class GridTable;
class TextMeasurer;

// How large the list is drawn so it reads at a distance, and how the rider, horse and club columns share the
// grid's width. Two rules beside the window's layout arithmetic (gridlayout):
// - the names of at least nine in ten starters fit whole: one very long name ends in "…" (its tooltip shows it
//   whole) instead of making every name small, both in how the three columns share their room and in the fit
//   zoom (Beeld > Passend, and the first list of a first start);
// - a floor on the letters: when the station sizes the list itself, its rows are at least a thirtieth of the
//   screen's height in a window that fills the screen, the size that reads from two metres; names that do not
//   fit at it end in "…".
// A list of fewer than ten starters has every name fit, as nine in ten of them rounds up to all.
namespace namefit {

using gridlayout::ColumnWidths;
using gridlayout::layoutColumns;

// The list measured at one font: every column's natural width (gridlayout::naturalWidths), and the rider's,
// horse's and club's width of each starter and of the column titles (margin included, in twips).
struct Measured
{
    std::array<int, layoutColumns> natural {};
    std::vector<std::array<int, 3>> starters;
    std::array<int, 3> titles {};
};
Measured measure(const GridTable& table, TextMeasurer& measurer);

// How many starters must have their names whole: nine in ten, rounded up.
int required(int starters);

// The width that the texts of nine in ten starters reach in each of the rider, horse and club columns, and at
// least their titles' width; the natural width for the other columns.
std::array<int, layoutColumns> typicalWidths(const Measured& measured);

// The columns' widths: as gridlayout::columnWidths when every natural width fits, else the rider, horse and
// club columns share what is left in proportion to their typical widths, so that a long outlier takes no room
// from the names that can fit.
ColumnWidths columnWidths(const Measured& measured, int columnCount, int gridWidthTwips);

// How many starters have their rider, horse and club whole in those widths.
int wholeStarters(const Measured& measured, const ColumnWidths& widths);
// Whether nine in ten do, and the column titles show whole.
bool mostNamesFit(const Measured& measured, int columnCount, int gridWidthTwips);

// Measures the table and sets its column widths for a grid of the given width (the window's layout).
void adjustColumns(GridTable& table, TextMeasurer& measurer, int gridWidthTwips);

// The list measured in the font `base` (its family and weight) at a size of whole pixels.
using MeasuredAt = std::function<Measured(int pixels)>;
MeasuredAt measuredAt(const GridTable& table, const QFont& base);

// The fit zoom: the zoom factor, within the zoom's range, of the largest whole-pixel font at which nine in ten
// starters' names fit, in a grid of the given width on a window of the given outer width; the smallest factor
// when they fit at no font.
double fitScale(const MeasuredAt& measuredAt, int columnCount, double outerWidthPixels, int gridWidthTwips);

// The floor: the smallest font in whole pixels whose row height (`rowHeightAt`, in pixels) is at least a
// thirtieth of the screen's height.
int floorPixels(int screenHeightPixels, const std::function<int(int pixels)>& rowHeightAt);
inline constexpr int rowsPerScreen = 30;

// The zoom factor at which the grid's font is that many whole pixels on a window of the given outer width
// (within the zoom's range).
double scaleForPixels(int pixels, double outerWidthPixels);

// The zoom the station gives a list it sizes itself: the fit, never below the floor. The floor is a zoom like
// any other, so it scales with the window: its rows are the floor's height when the window is as wide as the
// screen's free area (maximised, as at the first start), and a window of half that width has rows of half
// that height, where the names still have their room.
double readableScale(double fitScale, int floorPixels, double screenWidthPixels);

} // namespace namefit
