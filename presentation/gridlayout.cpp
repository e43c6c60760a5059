#include "gridlayout.h"

#include "gridtable.h"
#include "textmeasurer.h"
#include "twips.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>

namespace gridlayout {

StripLayout stripLayout(int clientWidthTwips, int lblMutatieWidth, int lblTitelLeft)
{
    // The right-anchored controls follow the window down to 4000 twips; the strip itself always spans
    // the real width.
    const int w = std::max(clientWidthTwips, minimumClientWidth);
    StripLayout layout;
    layout.stripWidth = clientWidthTwips;
    layout.lineX2 = clientWidthTwips;
    layout.lblMutatieLeft = w - edgeMargin - lblMutatieWidth;
    layout.labelWidth = w - lblTitelLeft - edgeMargin;
    return layout;
}

double fontSize(double outerWidthPixels, double scale)
{
    const double f = outerWidthPixels * scale;
    if (std::isnan(f) || f < minimumFontSize)
        return minimumFontSize;
    if (f > maximumFontSize)
        return maximumFontSize;
    return f;
}

double zoomStep(double scale, double factor, double outerWidthPixels)
{
    const double s = zoomfactor::clamp(scale * factor);
    const double f = outerWidthPixels * s;
    // A not-a-number font size fails both tests and is refused like any other out of range.
    if (f >= minimumFontSize && f <= maximumFontSize)
        return s;
    return scale;
}

int pixelSize(double points)
{
    return std::max(1, int(std::lround(points * 96.0 / 72.0)));
}

QFont layoutFont(const QFont& base, double points)
{
    QFont font(base);
    font.setPixelSize(pixelSize(points));
    font.setKerning(false);
    return font;
}

std::optional<int> gridExtent(int clientExtentTwips, int gridOriginTwips)
{
    const int extent = clientExtentTwips - gridOriginTwips - edgeMargin;
    if (extent < 0)
        return std::nullopt;
    return extent;
}

QRect startFrame(QSize window, QSize frameExtra, QSize minimum, QRect available)
{
    const QSize frame = window.boundedTo(available.size() - frameExtra).expandedTo(minimum) + frameExtra;
    // Centred by the free room on either side (QRect::center rounds differently left of the origin).
    const int left = available.left() + std::max(0, (available.width() - frame.width()) / 2);
    const int top = available.top() + std::max(0, (available.height() - frame.height()) / 2);
    return QRect(QPoint(left, top), frame);
}

std::optional<QRect> restoredGeometry(QRect saved, QMargins frame, QSize minimum, const QList<QRect>& available)
{
    if (!saved.isValid())
        return std::nullopt;
    const QRect savedFrame = saved.marginsAdded(frame);
    // The area that shows the most of the window: where the official left it.
    const QRect* area = nullptr;
    qint64 shown = 0;
    for (const QRect& candidate : available) {
        const QRect common = candidate.intersected(savedFrame);
        const qint64 size = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (size > shown) {
            shown = size;
            area = &candidate;
        }
    }
    if (!area)
        return std::nullopt;
    const QSize frameExtra(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize client = saved.size().boundedTo(area->size() - frameExtra).expandedTo(minimum);
    const QSize outer = client + frameExtra;
    // Moved in as far as it must: the right and bottom edges first, then the left and top ones, which win.
    int left = std::min(savedFrame.left(), area->left() + area->width() - outer.width());
    int top = std::min(savedFrame.top(), area->top() + area->height() - outer.height());
    left = std::max(left, area->left());
    top = std::max(top, area->top());
    return QRect(QPoint(left + frame.left(), top + frame.top()), client);
}

std::array<int, layoutColumns> naturalWidths(const GridTable& table, TextMeasurer& measurer)
{
    std::array<int, layoutColumns> widths {};
    const int columns = std::min(table.cols(), layoutColumns);
    const int rows = table.rows();
    const double marginPixels = measurer.widthPixels(cellMargin);
    // Column 0 holds the line keys and is never shown: it is not measured at all.
    for (int c = 1; c < columns; ++c) {
        // The widest text, rounded to twips once: rounding never changes which text is the widest.
        double widestText = 0;
        for (int r = 0; r < rows; ++r)
            widestText = std::max(widestText, measurer.widthPixels(table.textView(r, c)));
        // The margin and the text are summed in pixels before rounding, as one string would be.
        const double pixels = rows > 0 ? marginPixels + widestText : 0;
        widths[size_t(c)] = int(std::lround(std::min(pixels * twips::perPixel, double(INT_MAX))));
    }
    return widths;
}

ColumnWidths columnWidths(const std::array<int, layoutColumns>& natural, int columnCount, int gridWidthTwips)
{
    ColumnWidths widths;
    // Whole twips; 64-bit so that no grid width or text width can overflow the sum.
    qint64 avail = qint64(gridWidthTwips) - gridBorderAllowance - scrollBarAllowance;
    const int columns = std::min(columnCount, layoutColumns);
    for (int c = 0; c < columns; ++c) {
        if (c >= column::FirstShared && c <= column::LastShared)
            continue;
        const int width = c == column::Key ? 0 : natural[size_t(c)];
        widths[size_t(c)] = width;
        avail -= width;
    }

    const qint64 total = qint64(natural[3]) + natural[4] + natural[5];
    if (total <= 0)
        return widths;

    // Columns 3 and 4 in whole pixels (Int rounds toward minus infinity), column 5 the remainder.
    const auto share = [&](int natural) {
        const double pixels = std::floor(double(natural) / double(total) * double(avail) / twips::perPixel);
        return pixels <= 0 ? qint64(0) : qint64(pixels) * twips::perPixel;
    };
    const qint64 w3 = share(natural[3]);
    const qint64 w4 = share(natural[4]);
    const qint64 w5 = std::max<qint64>(0, avail - w3 - w4);
    widths[3] = int(std::min<qint64>(w3, INT_MAX));
    widths[4] = int(std::min<qint64>(w4, INT_MAX));
    widths[5] = int(std::min<qint64>(w5, INT_MAX));
    return widths;
}

bool namesFit(const std::array<int, layoutColumns>& natural, int columnCount, int gridWidthTwips)
{
    const ColumnWidths widths = columnWidths(natural, columnCount, gridWidthTwips);
    for (int c = column::FirstShared; c <= column::LastShared; ++c) {
        if (c < columnCount && widths[size_t(c)].value_or(0) < natural[size_t(c)])
            return false;
    }
    return true;
}

} // namespace gridlayout
