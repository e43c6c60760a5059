#include "namefit.h"

#include "columns.h"
#include "gridtable.h"
#include "textmeasurer.h"
#include "twips.h"
#include "zoomfactor.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>

namespace namefit {

namespace {

constexpr int shared = column::LastShared - column::FirstShared + 1;

bool isStarter(QStringView key)
{
    return !key.isEmpty() && !isPauseKey(key);
}

int toTwips(double pixels)
{
    return int(std::lround(std::min(pixels * twips::perPixel, double(INT_MAX))));
}

} // namespace

Measured measure(const GridTable& table, TextMeasurer& measurer)
{
    // One pass over the cells, as gridlayout::naturalWidths makes: the rider, horse and club of every row are
    // measured once, for their column's natural width and for the row's own widths alike (rounding to twips
    // never changes which text is the widest).
    Measured measured;
    const int columns = std::min(table.cols(), layoutColumns);
    const int rows = table.rows();
    const double margin = measurer.widthPixels(gridlayout::cellMargin);
    std::array<double, layoutColumns> widest {};
    for (int c = 1; c < columns; ++c) {
        if (c >= column::FirstShared && c <= column::LastShared)
            continue;
        for (int r = 0; r < rows; ++r)
            widest[size_t(c)] = std::max(widest[size_t(c)], measurer.widthPixels(table.textView(r, c)));
    }
    const int fixedRows = std::min(table.fixedRows(), rows);
    const bool named = columns > column::LastShared;
    if (named)
        measured.starters.reserve(size_t(rows - fixedRows));
    for (int r = 0; named && r < rows; ++r) {
        std::array<int, 3> widths {};
        for (int i = 0; i < shared; ++i) {
            const double pixels = measurer.widthPixels(table.textView(r, column::FirstShared + i));
            widest[size_t(column::FirstShared + i)] = std::max(widest[size_t(column::FirstShared + i)], pixels);
            widths[size_t(i)] = toTwips(margin + pixels);
        }
        if (r < fixedRows) {
            for (int i = 0; i < shared; ++i)
                measured.titles[size_t(i)] = std::max(measured.titles[size_t(i)], widths[size_t(i)]);
        } else if (isStarter(table.textView(r, column::Key))) {
            measured.starters.push_back(widths);
        }
    }
    // A grid narrower than the three columns measures them as naturalWidths does, without the rows' own widths.
    for (int c = column::FirstShared; !named && c < columns; ++c) {
        for (int r = 0; r < rows; ++r)
            widest[size_t(c)] = std::max(widest[size_t(c)], measurer.widthPixels(table.textView(r, c)));
    }
    for (int c = 1; c < columns; ++c)
        measured.natural[size_t(c)] = rows > 0 ? toTwips(margin + widest[size_t(c)]) : 0;
    return measured;
}

int required(int starters)
{
    return (9 * starters + 9) / 10;
}

std::array<int, layoutColumns> typicalWidths(const Measured& measured)
{
    std::array<int, layoutColumns> typical = measured.natural;
    const int n = int(measured.starters.size());
    if (n == 0)
        return typical;
    const int rank = required(n); // the required-th smallest width: nine in ten reach no further
    std::vector<int> widths(static_cast<size_t>(n));
    for (int i = 0; i < shared; ++i) {
        for (int s = 0; s < n; ++s)
            widths[size_t(s)] = measured.starters[size_t(s)][size_t(i)];
        std::nth_element(widths.begin(), widths.begin() + (rank - 1), widths.end());
        // The title whole, and never wider than the column's natural width.
        typical[size_t(column::FirstShared + i)] = std::min(measured.natural[size_t(column::FirstShared + i)],
            std::max(measured.titles[size_t(i)], widths[size_t(rank - 1)]));
    }
    return typical;
}

ColumnWidths columnWidths(const Measured& measured, int columnCount, int gridWidthTwips)
{
    if (gridlayout::namesFit(measured.natural, columnCount, gridWidthTwips))
        return gridlayout::columnWidths(measured.natural, columnCount, gridWidthTwips);
    // The fixed columns keep their natural widths: only the shares of the three change.
    const std::array<int, layoutColumns> typical = typicalWidths(measured);
    ColumnWidths widths = gridlayout::columnWidths(typical, columnCount, gridWidthTwips);
    for (int c = 0; c < std::min(columnCount, layoutColumns); ++c) {
        if (c < column::FirstShared || c > column::LastShared)
            widths[size_t(c)] = c == column::Key ? 0 : measured.natural[size_t(c)];
    }
    return widths;
}

int wholeStarters(const Measured& measured, const ColumnWidths& widths)
{
    int whole = 0;
    for (const std::array<int, 3>& starter : measured.starters) {
        bool fits = true;
        for (int i = 0; i < shared && fits; ++i) {
            const std::optional<int> width = widths[size_t(column::FirstShared + i)];
            fits = !width || starter[size_t(i)] <= *width;
        }
        whole += fits ? 1 : 0;
    }
    return whole;
}

bool mostNamesFit(const Measured& measured, int columnCount, int gridWidthTwips)
{
    const ColumnWidths widths = columnWidths(measured, columnCount, gridWidthTwips);
    for (int i = 0; i < shared; ++i) {
        const std::optional<int> width = widths[size_t(column::FirstShared + i)];
        if (width && measured.titles[size_t(i)] > *width)
            return false;
    }
    return wholeStarters(measured, widths) >= required(int(measured.starters.size()));
}

void adjustColumns(GridTable& table, TextMeasurer& measurer, int gridWidthTwips)
{
    const ColumnWidths widths = columnWidths(measure(table, measurer), table.cols(), gridWidthTwips);
    for (int c = 0; c < layoutColumns; ++c) {
        // A column the grid does not have refuses its width.
        if (widths[size_t(c)])
            table.setColWidth(c, *widths[size_t(c)]);
    }
}

MeasuredAt measuredAt(const GridTable& table, const QFont& base)
{
    return [&table, base](int pixels) {
        TextMeasurer measurer(gridlayout::layoutFont(base, pixels * 72.0 / 96.0));
        return measure(table, measurer);
    };
}

double fitScale(const MeasuredAt& measuredAt, int columnCount, double outerWidthPixels, int gridWidthTwips)
{
    if (!(outerWidthPixels > 0))
        return gridlayout::minimumScale;
    const int smallest = gridlayout::pixelSize(gridlayout::fontSize(outerWidthPixels, gridlayout::minimumScale));
    const int largest = gridlayout::pixelSize(gridlayout::fontSize(outerWidthPixels, gridlayout::maximumScale));
    const auto fits = [&](int pixels) { return mostNamesFit(measuredAt(pixels), columnCount, gridWidthTwips); };
    if (!fits(smallest))
        return gridlayout::minimumScale;
    // As the names grow with the font they fit up to some size and not beyond: found by halving, then checked a
    // size further, since hinted widths do not grow quite evenly.
    int low = smallest;
    int high = largest;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    while (low < largest && fits(low + 1))
        ++low;
    return scaleForPixels(low, outerWidthPixels);
}

int floorPixels(int screenHeightPixels, const std::function<int(int pixels)>& rowHeightAt)
{
    const int wanted = (std::max(0, screenHeightPixels) + rowsPerScreen - 1) / rowsPerScreen;
    const int largest = gridlayout::pixelSize(gridlayout::maximumFontSize);
    int pixels = 1;
    // Row heights grow with the font: the first size that reaches the wanted height (a few dozen at most).
    while (pixels < largest && rowHeightAt(pixels) < wanted)
        ++pixels;
    return pixels;
}

double scaleForPixels(int pixels, double outerWidthPixels)
{
    if (!(outerWidthPixels > 0))
        return gridlayout::minimumScale;
    // points = pixels × 72 ÷ 96: the factor whose font is exactly that many pixels.
    return zoomfactor::clamp(
        std::clamp(pixels * 72.0 / 96.0, gridlayout::minimumFontSize, gridlayout::maximumFontSize) / outerWidthPixels);
}

double readableScale(double fitScale, int floorPixels, double screenWidthPixels)
{
    return std::max(fitScale, scaleForPixels(floorPixels, screenWidthPixels));
}

} // namespace namefit
