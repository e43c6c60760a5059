// Tests of layout and zoom: the strip and labels following the window, the font size from the window's
// width and the zoom factor, the refused zoom steps, the column widths from the cell texts, the text
// measurer, and the whole of it on a real main window.

#include "appstate.h"
#include "columns.h"
#include "democlass.h"
#include "files.h"
#include "flexgrid.h"
#include "frmbaldovenaar.h"
#include "gridlayout.h"
#include "gridtable.h"
#include "gridzoom.h"
#include "namefit.h"
#include "publishedorder.h"
#include "textmeasurer.h"
#include "twips.h"
#include "windowfixture.h"

#include <QDate>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QFrame>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTime>
#include <cmath>
#include <limits>

using namespace gridlayout;
// The window lays the columns out by the nine-in-ten rule; with fewer than ten starters it is the plain one.
using namefit::adjustColumns;

namespace {

QFont arialAt(double points)
{
    return layoutFont(QFont(QStringLiteral("Arial")), points);
}

// A grid as the loader leaves it: 11 columns, the header row and the given data rows.
void fill(GridTable& table, const QList<QStringList>& rows)
{
    table.setCols(column::Count);
    table.setRows(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            table.setTextMatrix(r, c, rows[r][c]);
    }
}

// A control of the main window by its name.
QWidget* control(const FrmBaldovenaar& window, const char* name)
{
    return window.findChild<QWidget*>(QLatin1String(name));
}

// A class of 30 starters whose rider, horse and club are taken in turn from the given names, as the loader
// leaves it in the grid.
void fillClass(GridTable& table, const QStringList& riders, const QStringList& horses, const QStringList& clubs)
{
    QList<QStringList> rows { { "", "Volg", "Nr", "Ruiter", "Paard", "Vereniging", "Cat", "Hoogte", "Tijd", "Status",
        "NG" } };
    for (int i = 0; i < 30; ++i) {
        rows.append({ QString::number(1000 + i), QString::number(i + 1), QString::number(101 + i),
            riders[i % riders.size()], horses[i % horses.size()], clubs[i % clubs.size()], "M", "1.10",
            QTime(10, 30).addSecs(120 * i).toString("HH:mm"), "", "" });
    }
    fill(table, rows);
    table.setFixedRows(1);
}

int measured(TextMeasurer& measurer, const QString& text)
{
    return measurer.widthTwips(QStringLiteral("   ") + text);
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void arialIsMetricCompatible();
    void measurerSumsAdvances_data();
    void measurerSumsAdvances();

    void strip_data();
    void strip();
    void fontSize_data();
    void fontSize();
    void zoomStep_data();
    void zoomStep();
    void zoomingOutStops_data();
    void zoomingOutStops();
    void fontInWholePixels_data();
    void fontInWholePixels();

    void flexibleColumns_data();
    void flexibleColumns();
    void columnZeroIsHidden();
    void headerOnlyGrid();
    void emptyGridKeepsTextColumns();
    void longerCellWidensAfterReload();
    void fewerColumnsThanLaidOut();

    void windowFollowsItsWidth_data();
    void windowFollowsItsWidth();
    void tooSmallWindowKeepsGridSize();
    void zoomButtonsOnWindow();
    void startFrame_data();
    void startFrame();
    void windowStartsWithinTheScreen();
    void textFitsWhereItIsDrawn_data();
    void textFitsWhereItIsDrawn();

    void fitZoom_data();
    void fitZoom();
    void measuredAsTheLayoutMeasures_data();
    void measuredAsTheLayoutMeasures();
    void restoredGeometry_data();
    void restoredGeometry();
};

void TestLayout::arialIsMetricCompatible()
{
    // Every width in twips assumes Arial's metrics; a substitute with other metrics skews them all.
    const QString family = QFontInfo(arialAt(25)).family();
#ifdef Q_OS_WIN
    // Wine has no Arial: its prefix for the tests gives the offscreen platform Liberation Sans alone.
    QCOMPARE(family, testsupport::underWine() ? QStringLiteral("Liberation Sans") : QStringLiteral("Arial"));
#else
    QVERIFY2(family == QStringLiteral("Liberation Sans") || family == QStringLiteral("Arial"),
        qPrintable(QStringLiteral("\"Arial\" resolves to \"%1\": install fonts-liberation").arg(family)));
#endif
}

void TestLayout::measurerSumsAdvances_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("text");

    QTest::newRow("name, 8.25 pt") << 8.25 << QStringLiteral("Jan de Vries");
    QTest::newRow("horse, 25 pt") << 25.0 << QStringLiteral("Zonnedauw Bellinda");
    QTest::newRow("digits, 2 pt") << 2.0 << QStringLiteral("1234567890");
    QTest::newRow("digits, 50 pt") << 50.0 << QStringLiteral("12:34");
    QTest::newRow("accents and euro") << 14.0 << QStringLiteral("Écurie Ünal € 5");
    QTest::newRow("beyond Latin-1") << 14.0 << QStringLiteral("Łukasz Ŋ");
    QTest::newRow("margin only") << 14.0 << QStringLiteral("   ");
    QTest::newRow("empty") << 14.0 << QString();
}

void TestLayout::measurerSumsAdvances()
{
    QFETCH(double, points);
    QFETCH(QString, text);

    const QFont font = arialAt(points);
    TextMeasurer measurer(font);
    const QFontMetricsF metrics(font);
    double sum = 0;
    for (QChar c : text)
        sum += metrics.horizontalAdvance(c);

    QCOMPARE(measurer.widthPixels(text), sum);
    // Measured again from the cached advances, summed in whole 1/64 pixels: exactly the same sum.
    QCOMPARE(measurer.widthPixels(text), sum);
    // Measured twice: the cached advances give the same width.
    QCOMPARE(measurer.widthTwips(text), int(std::lround(sum * 15)));
    QCOMPARE(measurer.widthTwips(text), int(std::lround(sum * 15)));
    // These texts have no kerning pairs or ligatures, so a whole-text layout agrees to the pixel.
    QCOMPARE(int(std::lround(measurer.widthPixels(text))), QFontMetrics(font).horizontalAdvance(text));
}

void TestLayout::strip_data()
{
    QTest::addColumn<int>("client");
    QTest::addColumn<int>("stripWidth");
    QTest::addColumn<int>("lblMutatieLeft");
    QTest::addColumn<int>("labelWidth");

    QTest::newRow("design width") << 13725 << 13725 << 13230 << 9885;
    QTest::newRow("just above the minimum") << 4005 << 4005 << 3510 << 165;
    QTest::newRow("at the minimum") << 4000 << 4000 << 3505 << 160;
    QTest::newRow("below the minimum") << 3000 << 3000 << 3505 << 160;
    QTest::newRow("no width at all") << 0 << 0 << 3505 << 160;
}

void TestLayout::strip()
{
    QFETCH(int, client);
    QFETCH(int, stripWidth);
    QFETCH(int, lblMutatieLeft);
    QFETCH(int, labelWidth);

    const StripLayout layout = stripLayout(client, 375, 3720);
    QCOMPARE(layout.stripWidth, stripWidth);
    QCOMPARE(layout.lineX2, stripWidth);
    QCOMPARE(layout.lblMutatieLeft, lblMutatieLeft);
    QCOMPARE(layout.labelWidth, labelWidth);
}

void TestLayout::fontSize_data()
{
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("points");

    QTest::newRow("1000 px at 0.025") << 1000.0 << 0.025 << 25.0;
    QTest::newRow("60 px: clamped to 2") << 60.0 << 0.025 << 2.0;
    QTest::newRow("2400 px: clamped to 50") << 2400.0 << 0.025 << 50.0;
    QTest::newRow("exactly 2") << 80.0 << 0.025 << 2.0;
    QTest::newRow("exactly 50") << 2000.0 << 0.025 << 50.0;
    QTest::newRow("largest zoom") << 300.0 << 0.1 << 30.0;
    QTest::newRow("not a number") << 1000.0 << std::numeric_limits<double>::quiet_NaN() << 2.0;
    QTest::newRow("no window yet") << 0.0 << 0.025 << 2.0;
}

void TestLayout::fontSize()
{
    QFETCH(double, outerWidth);
    QFETCH(double, scale);
    QFETCH(double, points);
    QCOMPARE(gridlayout::fontSize(outerWidth, scale), points);
}

void TestLayout::zoomStep_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("result");

    QTest::newRow("larger") << 0.025 << zoomInFactor << 1000.0 << 0.025 * 1.2;
    QTest::newRow("smaller") << 0.025 << zoomOutFactor << 1000.0 << 0.025 * 0.9;
    QTest::newRow("larger beyond 50 pt: refused") << 0.025 << zoomInFactor << 1800.0 << 0.025;
    QTest::newRow("larger at 0.1 stays 0.1") << 0.1 << zoomInFactor << 400.0 << 0.1;
    QTest::newRow("larger at 0.1 on a wide window") << 0.1 << zoomInFactor << 1000.0 << 0.1;
    QTest::newRow("larger close to 0.1 stops at 0.1") << 0.09 << zoomInFactor << 400.0 << 0.1;
    QTest::newRow("smaller below 2 pt: refused") << 0.007 << zoomOutFactor << 300.0 << 0.007;
    QTest::newRow("smaller stops at 0.005") << 0.0052 << zoomOutFactor << 1000.0 << 0.005;
    QTest::newRow("smaller at 0.005 stays") << 0.005 << zoomOutFactor << 1000.0 << 0.005;
    QTest::newRow("smaller on a tiny window: refused") << 0.005 << zoomOutFactor << 100.0 << 0.005;
}

void TestLayout::zoomStep()
{
    QFETCH(double, scale);
    QFETCH(double, factor);
    QFETCH(double, outerWidth);
    QFETCH(double, result);
    QCOMPARE(gridlayout::zoomStep(scale, factor, outerWidth), result);
}

void TestLayout::zoomingOutStops_data()
{
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("floor");

    // Wide enough that 0.005 still gives 2 pt or more: the factor's bound stops it.
    QTest::newRow("wide window: at 0.005") << 1000.0 << 0.005;
    // Narrow: the last step that keeps 2 pt.
    QTest::newRow("narrow window: at 2 pt") << 300.0 << 2.0 / 300.0;
}

void TestLayout::zoomingOutStops()
{
    QFETCH(double, outerWidth);
    QFETCH(double, floor);

    double scale = 0.025;
    for (int press = 0; press < 100; ++press)
        scale = gridlayout::zoomStep(scale, zoomOutFactor, outerWidth);
    QVERIFY(scale >= floor);
    QVERIFY(scale * outerWidth >= 2.0);
    // One more step changes nothing.
    QCOMPARE(gridlayout::zoomStep(scale, zoomOutFactor, outerWidth), scale);
    // And the step above it would have been below the floor.
    QVERIFY(scale * zoomOutFactor < floor || scale == 0.005);
}

void TestLayout::fontInWholePixels_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("pixels");

    QTest::newRow("8.25 pt") << 8.25 << 11;
    QTest::newRow("25 pt") << 25.0 << 33;
    QTest::newRow("2 pt") << 2.0 << 3;
    QTest::newRow("50 pt") << 50.0 << 67;
    QTest::newRow("half a pixel rounds up") << 25.125 << 34;
}

void TestLayout::fontInWholePixels()
{
    QFETCH(double, points);
    QFETCH(int, pixels);
    const QFont font = arialAt(points);
    QCOMPARE(font.pixelSize(), pixels);
    QVERIFY(!font.kerning());
}

void TestLayout::flexibleColumns_data()
{
    QTest::addColumn<int>("fixedWidth"); // natural width of each of columns 1, 2, 6..10
    QTest::addColumn<QList<int>>("flexible"); // natural widths of columns 3, 4, 5
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<QList<int>>("expected"); // widths of columns 3, 4, 5

    // Avail = 10000 - 345 = 9655: 100/600 of it is 107.3 pixels, 200/600 is 214.6.
    QTest::newRow("in proportion, whole pixels")
        << 0 << QList<int> { 100, 200, 300 } << 10000 << QList<int> { 1605, 3210, 4840 };
    // Avail = 9655 - 7 × 450 = 6505.
    QTest::newRow("after the fixed columns")
        << 450 << QList<int> { 100, 100, 100 } << 10000 << QList<int> { 2160, 2160, 2185 };
    QTest::newRow("one text column only") << 0 << QList<int> { 0, 500, 0 } << 1000 << QList<int> { 0, 645, 10 };
    QTest::newRow("Avail smaller than the fixed columns")
        << 450 << QList<int> { 300, 200, 100 } << 3000 << QList<int> { 0, 0, 0 };
    QTest::newRow("grid narrower than its borders")
        << 0 << QList<int> { 300, 200, 100 } << 100 << QList<int> { 0, 0, 0 };
    QTest::newRow("less than a pixel each") << 0 << QList<int> { 300, 300, 300 } << 375 << QList<int> { 0, 0, 30 };
}

void TestLayout::flexibleColumns()
{
    QFETCH(int, fixedWidth);
    QFETCH(QList<int>, flexible);
    QFETCH(int, gridWidth);
    QFETCH(QList<int>, expected);

    std::array<int, layoutColumns> natural {};
    natural.fill(fixedWidth);
    natural[0] = 999; // never counts
    natural[3] = flexible[0];
    natural[4] = flexible[1];
    natural[5] = flexible[2];

    const ColumnWidths widths = columnWidths(natural, 11, gridWidth);
    QCOMPARE(widths[0], std::optional<int>(0));
    for (int c : { 1, 2, 6, 7, 8, 9, 10 })
        QCOMPARE(widths[size_t(c)], std::optional<int>(fixedWidth));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(widths[size_t(3 + i)]);
        QCOMPARE(*widths[size_t(3 + i)], expected[i]);
    }
    QCOMPARE(*widths[3] % 15, 0);
    QCOMPARE(*widths[4] % 15, 0);
}

void TestLayout::columnZeroIsHidden()
{
    GridTable table;
    fill(table, { { "Nr", "Startnr", "Tijd", "Ruiter" }, { "P-000123-very-long-line-key", "1", "12:00", "Jan" } });
    table.setColWidth(0, 1500);
    TextMeasurer measurer(arialAt(25));
    adjustColumns(table, measurer, 20000);
    QCOMPARE(table.colWidth(0), 0);
    QCOMPARE(table.colWidth(1), measured(measurer, "Startnr"));
}

void TestLayout::headerOnlyGrid()
{
    GridTable table;
    const QStringList header { "Key", "Nr", "Tijd", "Ruiter", "Paard", "Vereniging", "Fout", "Tijd", "Punten", "Status",
        "NG" };
    fill(table, { header });
    TextMeasurer measurer(arialAt(10));
    const int gridWidth = 15000;
    adjustColumns(table, measurer, gridWidth);

    int fixedTotal = 0;
    for (int c : { 1, 2, 6, 7, 8, 9, 10 }) {
        QCOMPARE(table.colWidth(c), measured(measurer, header[c]));
        fixedTotal += table.colWidth(c);
    }
    // The text columns share the rest, up to the allowance for borders and scroll bar.
    const int avail = gridWidth - 345 - fixedTotal;
    QCOMPARE(table.colWidth(3) + table.colWidth(4) + table.colWidth(5), avail);
    QVERIFY(table.colWidth(5) > table.colWidth(3)); // "Vereniging" is the longest header
}

void TestLayout::emptyGridKeepsTextColumns()
{
    GridTable table;
    table.setCols(11);
    table.setRows(0);
    for (int c = 0; c < 11; ++c)
        table.setColWidth(c, 777);
    TextMeasurer measurer(arialAt(10));
    adjustColumns(table, measurer, 15000);
    QCOMPARE(table.colWidth(0), 0);
    QCOMPARE(table.colWidth(1), 0);
    QCOMPARE(table.colWidth(3), 777);
    QCOMPARE(table.colWidth(4), 777);
    QCOMPARE(table.colWidth(5), 777);
}

void TestLayout::longerCellWidensAfterReload()
{
    GridTable table;
    fill(table,
        { { "", "Nr", "Tijd", "Ruiter", "Paard", "Ver.", "F", "T", "P", "S", "NG" },
            { "1", "1", "9:00", "An", "Bo", "X", "", "", "", "", "" } });
    TextMeasurer measurer(arialAt(12));
    adjustColumns(table, measurer, 12000);
    const int tijd = table.colWidth(2);
    const int ruiter = table.colWidth(3);

    // The next read brings a longer time and a much longer rider's name.
    table.setTextMatrix(1, 2, QStringLiteral("10:00:00"));
    table.setTextMatrix(1, 3, QStringLiteral("Anna-Maria van Oldenbarnevelt"));
    adjustColumns(table, measurer, 12000);
    QCOMPARE(table.colWidth(2), measured(measurer, "10:00:00"));
    QVERIFY(table.colWidth(2) > tijd);
    QVERIFY(table.colWidth(3) > ruiter);
}

void TestLayout::fewerColumnsThanLaidOut()
{
    GridTable table;
    table.setCols(4);
    table.setRows(2);
    table.setTextMatrix(1, 3, QStringLiteral("Ruiter"));
    TextMeasurer measurer(arialAt(12));
    adjustColumns(table, measurer, 6000);
    QCOMPARE(table.cols(), 4);
    QCOMPARE(table.colWidth(0), 0);
    // Column 3 shares what is left with columns that do not exist.
    const int margin = measurer.widthTwips(QStringLiteral("   "));
    QCOMPARE(table.colWidth(1), margin);
    QCOMPARE(table.colWidth(3), (6000 - 345 - 2 * margin) / 15 * 15);
}

void TestLayout::windowFollowsItsWidth_data()
{
    QTest::addColumn<int>("clientWidth"); // pixels
    QTest::newRow("design size") << 915;
    QTest::newRow("wide") << 1600;
    QTest::newRow("narrower than 4000 twips") << 200;
}

void TestLayout::windowFollowsItsWidth()
{
    QFETCH(int, clientWidth);

    testsupport::WindowFixture kit;
    FrmBaldovenaar& window = kit.makeWindow();
    QWidget* clientArea = window.centralWidget();
    window.resize(clientWidth, 700);
    QTRY_COMPARE(clientArea->width(), clientWidth);
    const int client = clientArea->width();
    const int w = std::max(client * 15, 4000);

    const QWidget* strip = control(window, "Picture1");
    QCOMPARE(strip->width(), client);
    for (const char* name : { "Line1", "Line2", "Line3", "Line4" }) {
        const QFrame* line = strip->findChild<QFrame*>(QLatin1String(name));
        QVERIFY(line);
        QCOMPARE(line->x() + line->width(), client);
    }
    QCOMPARE(control(window, "lblMutatie")->x(), int(std::lround((w - 120 - 375) / 15.0)));
    for (const char* name : { "lblTitel", "lblDatum", "lblBegintijd" })
        QCOMPARE(control(window, name)->width(), int(std::lround((w - 3720 - 120) / 15.0)));

    const FlexGrid* grid = kit.grid();
    if (client - 8 - grid->x() >= 0)
        QCOMPARE(grid->width(), client - grid->x() - 8);
    // The status line runs along the bottom margin; the grid has what is left above it, less a gap of 4.
    const QWidget* statusLine = control(window, "statusLine");
    QCOMPARE(statusLine->geometry().bottom(), clientArea->height() - 8 - 1);
    QCOMPARE(statusLine->x(), grid->x());
    QCOMPARE(grid->height(), statusLine->y() - 4 - grid->y());

    const GridTable& table = kit.station().working();
    const double points = gridlayout::fontSize(window.frameGeometry().width(), kit.station().state().scale);
    QCOMPARE(table.fontSize(), points);
    QCOMPARE(control(window, "picTemp")->font().pixelSize(), int(std::lround(points * 96 / 72)));
    QCOMPARE(table.colWidth(column::Key), 0);
}

void TestLayout::tooSmallWindowKeepsGridSize()
{
    testsupport::WindowFixture kit;
    FrmBaldovenaar& window = kit.makeWindow();
    const QWidget* client = window.centralWidget();
    const FlexGrid* grid = kit.grid();
    window.resize(600, 500);
    QTRY_COMPARE(client->width(), 600);
    const QSize before = grid->size();
    QVERIFY(before.height() > 0);

    // Less client height than the grid's top: the computed height is negative.
    window.resize(600, window.height() - client->height() + grid->y() - 20);
    QTRY_VERIFY(client->height() < grid->y());
    QCOMPARE(grid->height(), before.height());
    QCOMPARE(grid->width(), before.width());
}

void TestLayout::zoomButtonsOnWindow()
{
    testsupport::WindowFixture kit;
    FrmBaldovenaar& window = kit.makeWindow();
    const AppState& state = kit.station().state();
    const GridTable& table = kit.station().working();
    window.resize(1000, 700);
    QTRY_COMPARE(window.width(), 1000);
    const int outer = window.frameGeometry().width();

    kit.station().setScale(0.025);
    kit.button(knoppen::Groter)->click();
    QCOMPARE(state.scale, 0.025 * 1.2);
    QCOMPARE(table.fontSize(), outer * 0.025 * 1.2);
    kit.button(knoppen::Kleiner)->click();
    QCOMPARE(state.scale, 0.025 * 1.2 * 0.9);

    // At 0.05, the larger step would give 60 pt on this window: refused, the grid laid out all the same.
    kit.station().setScale(0.05);
    kit.station().layOutGrid(10, {});
    kit.button(knoppen::Groter)->click();
    QCOMPARE(state.scale, 0.05);
    QCOMPARE(table.fontSize(), 50.0);
}

void TestLayout::startFrame_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("frameExtra");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("frame");

    const QSize design(915, 627);
    const QSize none(0, 0);
    QTest::newRow("larger screen: centred, same size")
        << QSize(891, 570) << QSize(10, 31) << none << QRect(0, 0, 1001, 801) << QRect(50, 100, 901, 601);
    QTest::newRow("800 x 600: shrunk to the screen")
        << design << none << none << QRect(0, 0, 800, 600) << QRect(0, 0, 800, 600);
    QTest::newRow("800 x 600 with a frame")
        << design << QSize(8, 31) << none << QRect(0, 0, 800, 600) << QRect(0, 0, 800, 600);
    QTest::newRow("panel at the top") << design << none << none << QRect(0, 24, 800, 576) << QRect(0, 24, 800, 576);
    QTest::newRow("screen left of the primary")
        << design << none << none << QRect(-800, 0, 800, 600) << QRect(-800, 0, 800, 600);
    QTest::newRow("too wide only: centred vertically")
        << QSize(915, 601) << none << none << QRect(0, 0, 800, 1001) << QRect(0, 200, 800, 601);
    QTest::newRow("minimum larger than the screen: top-left on it")
        << design << none << QSize(900, 700) << QRect(0, 0, 800, 600) << QRect(0, 0, 900, 700);
}

void TestLayout::startFrame()
{
    QFETCH(QSize, window);
    QFETCH(QSize, frameExtra);
    QFETCH(QSize, minimum);
    QFETCH(QRect, available);
    QFETCH(QRect, frame);
    QCOMPARE(gridlayout::startFrame(window, frameExtra, minimum, available), frame);
}

void TestLayout::windowStartsWithinTheScreen()
{
    // Whatever the screen (the offscreen platform's is 800 x 800, narrower than the window's design),
    // the window starts on it; a side that fits keeps its design size, one that does not is shrunk.
    testsupport::WindowFixture kit;
    FrmBaldovenaar& window = kit.makeWindow();
    QVERIFY(window.screen());
    const QRect available = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    QVERIFY2(available.contains(frame),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));

    const QWidget* client = window.centralWidget();
    const QSize around = frame.size() - client->size();
    QCOMPARE(client->width(), std::min(915, available.width() - around.width()));
    QCOMPARE(client->height(), std::min(608, available.height() - around.height()));
    // The layout followed the size the window got.
    QCOMPARE(control(window, "Picture1")->width(), client->width());
    QCOMPARE(kit.grid()->width(), client->width() - kit.grid()->x() - 8);
}

void TestLayout::textFitsWhereItIsDrawn_data()
{
    QTest::addColumn<double>("points");
    for (int points = 2; points <= 50; ++points)
        QTest::newRow(qPrintable(QStringLiteral("%1 pt").arg(points))) << double(points);
    // The design window (915 pixels) at the smallest and the default zoom.
    QTest::newRow("4.575 pt: smallest zoom") << 915 * 0.005;
    QTest::newRow("22.875 pt: default zoom") << 915 * 0.025;
}

void TestLayout::textFitsWhereItIsDrawn()
{
    QFETCH(double, points);

    testsupport::WindowFixture kit;
    FrmBaldovenaar& window = kit.makeWindow(false);
    GridTable& table = *kit.grid()->table();
    // The sample class and a line of wide texts: five-digit numbers, capitals.
    const kantoor::PublishedOrder order = kantoor::demoOrder(QDate(2026, 12, 7));
    QList<QStringList> rows { order.header };
    for (const QStringList& line : order.lines)
        rows.append(line);
    rows.append({ "X1", "32767", "88888", "WWW MMM", "Wervelwind", "LR De Wolvenbergruiters", "MW", "1.45", "23:59",
        "N", "N" });
    fill(table, rows);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // A window on which the font size is reachable within the zoom factor's range.
    const int width = points < 5 ? int(std::lround(points / 0.005)) : 1000;
    window.resize(width, 700);
    QTRY_COMPARE(window.width(), width);
    kit.station().setScale(points / window.frameGeometry().width());
    window.gridZoom().adjust_grid();
    QVERIFY(std::abs(table.fontSize() - points) < 1e-9);

    const FlexGrid* grid = kit.grid();
    TextMeasurer measurer(control(window, "picTemp")->font());
    const QFontMetricsF drawn(grid->font());
    const double margin = measurer.widthPixels(cellMargin);
    int checked = 0;
    for (int r = 0; r < table.rows(); ++r) {
        for (int c = 1; c < table.cols(); ++c) {
            const QString text = table.textMatrix(r, c);
            // Only what the layout measured as fitting its column (a text column may get less).
            if (text.isEmpty() || measured(measurer, text) > table.colWidth(c))
                continue;
            const QString where = QStringLiteral("row %1, column %2: \"%3\"").arg(r).arg(c).arg(text);
            const QRect cell = grid->cellRect(r, c);
            const QRect area = grid->textRect(r, c);
            QVERIFY2(!area.isEmpty(), qPrintable(where));
            QVERIFY2(area.left() >= cell.left() && area.right() < cell.right(), qPrintable(where));
            QVERIFY2(measurer.widthPixels(text) <= area.width(), qPrintable(where));
            QVERIFY2(drawn.horizontalAdvance(text) <= area.width(), qPrintable(where));
            // Once the margin has room for it, text keeps a pixel clear of the grid lines on both sides.
            if (margin >= 4)
                QVERIFY2(area.left() > cell.left() && area.right() < cell.right() - 1, qPrintable(where));
            ++checked;
        }
    }
    // At least the numbers and the header of every fixed column were looked at.
    QVERIFY(checked >= 7 * int(rows.size()) / 2);
}

void TestLayout::fitZoom_data()
{
    QTest::addColumn<QString>("names"); // "long", "short", or "one outlier": one very long rider among short names
    QTest::addColumn<int>("outerWidth"); // the window's outer width in pixels

    for (const int width : { 640, 1024, 1920 }) {
        for (const char* names : { "long", "short", "one outlier" })
            QTest::newRow(qPrintable(QStringLiteral("%1 names, %2 px").arg(QLatin1String(names)).arg(width)))
                << QString::fromLatin1(names) << width;
    }
}

void TestLayout::fitZoom()
{
    QFETCH(QString, names);
    QFETCH(int, outerWidth);

    GridTable table;
    if (names == QLatin1String("long"))
        fillClass(table, { "Anne-Marie van der Heijden-Bosch", "Jan de Vries", "Wilhelmina Zonneveld-Oosterhuis" },
            { "Zonnedauw's Quintessence van de Heuvelhoeve", "Ace", "Quibus" },
            { "Landelijke Rijvereniging De Wolvenbergruiters", "RV Oost" });
    else
        fillClass(table, { "Jan Bos", "Ria Ek" }, { "Ace", "Odin" }, { "RV Oost", "LR Ede" });
    const bool outlier = names == QLatin1String("one outlier");
    if (outlier)
        table.setTextMatrix(7, column::Rider, QStringLiteral("Anne-Marie van den Hoogenband-Schellekens-Bos"));
    // The grid as the window gives it: the client area less the grid's left edge and the right margin.
    const int gridWidth = twips::fromPixels(outerWidth - 16) - 120 - edgeMargin;
    const namefit::MeasuredAt at = namefit::measuredAt(table, QFont(QStringLiteral("Arial")));

    const double scale = namefit::fitScale(at, table.cols(), outerWidth, gridWidth);
    QVERIFY(scale >= minimumScale && scale <= maximumScale);
    // The font the factor gives, in whole pixels, exactly.
    const double points = gridlayout::fontSize(outerWidth, scale);
    const int pixels = pixelSize(points);
    QVERIFY(std::abs(points * 96 / 72 - pixels) < 1e-9 || points == minimumFontSize || points == maximumFontSize
        || scale == minimumScale);
    // Nine in ten fit at that font, and at the next larger one the zoom factor's range allows they do not.
    QVERIFY(namefit::mostNamesFit(at(pixels), table.cols(), gridWidth));
    const int largest = pixelSize(gridlayout::fontSize(outerWidth, maximumScale));
    QVERIFY(pixels <= largest);
    if (pixels < largest)
        QVERIFY(!namefit::mostNamesFit(at(pixels + 1), table.cols(), gridWidth));
    // Laid out at that factor: every name whole when each stands in a tenth of the list or more; with one very
    // long name among short ones, the others whole, and larger than if that one had to fit too.
    TextMeasurer measurer(layoutFont(QFont(QStringLiteral("Arial")), points));
    namefit::adjustColumns(table, measurer, gridWidth);
    int cut = 0;
    for (int r = 0; r < table.rows(); ++r) {
        for (int c = column::Rider; c <= column::Club; ++c)
            cut += measured(measurer, table.textMatrix(r, c)) > table.colWidth(c) ? 1 : 0;
    }
    if (!outlier) {
        QCOMPARE(cut, 0);
    } else if (pixels > pixelSize(gridlayout::fontSize(outerWidth, minimumScale))) {
        QCOMPARE(cut, 1);
        QVERIFY(measured(measurer, table.textMatrix(7, column::Rider)) > table.colWidth(column::Rider));
        QVERIFY(!gridlayout::namesFit(at(pixels).natural, table.cols(), gridWidth));
    }
}

void TestLayout::measuredAsTheLayoutMeasures_data()
{
    QTest::addColumn<int>("pixels");
    for (const int pixels : { 7, 13, 29 })
        QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(pixels))) << pixels;
}

void TestLayout::measuredAsTheLayoutMeasures()
{
    QFETCH(int, pixels);
    // The one-pass measuring against the layout's own, on a list with a pause line and an empty one.
    GridTable table;
    fillClass(table, { "Anne-Marie van der Heijden-Bosch", "Jan de Vries" }, { "Quibus", "Ace" }, { "RV Oost" });
    table.setTextMatrix(5, column::Key, QStringLiteral("P"));
    table.setTextMatrix(5, column::Rider, QStringLiteral("Pauze - parcours ophogen naar 1.20 en 1.30 meter"));
    table.setTextMatrix(9, column::Key, QString());
    TextMeasurer measurer(layoutFont(QFont(QStringLiteral("Arial")), pixels * 0.75));
    const namefit::Measured measured = namefit::measure(table, measurer);
    QCOMPARE(measured.natural, naturalWidths(table, measurer));
    QCOMPARE(int(measured.starters.size()), 28); // less the pause and the empty line
    QCOMPARE(measured.titles[0], measurer.widthTwips(QStringLiteral("   Ruiter")));
}

void TestLayout::restoredGeometry_data()
{
    QTest::addColumn<QRect>("saved");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("restored"); // empty: none, the window starts centred

    const QRect laptop(0, 0, 1280, 800);
    const QRect second(1280, 0, 1920, 1080);
    QTest::newRow("where it was") << QRect(100, 100, 900, 600) << QList<QRect> { laptop } << QRect(100, 100, 900, 600);
    QTest::newRow("on the second screen")
        << QRect(1400, 100, 1000, 700) << QList<QRect> { laptop, second } << QRect(1400, 100, 1000, 700);
    QTest::newRow("its screen gone") << QRect(1400, 100, 1000, 700) << QList<QRect> { laptop } << QRect();
    QTest::newRow("across two screens: on the one with most of it")
        << QRect(1000, 100, 900, 600) << QList<QRect> { laptop, second } << QRect(1281, 100, 900, 600);
    QTest::newRow("partly beyond the right edge: moved in")
        << QRect(900, 100, 900, 600) << QList<QRect> { laptop } << QRect(379, 100, 900, 600);
    QTest::newRow("title bar above the screen: moved down")
        << QRect(100, -50, 900, 600) << QList<QRect> { laptop } << QRect(100, 24, 900, 600);
    QTest::newRow("larger than the screen: shrunk to it")
        << QRect(-10, 0, 2000, 1500) << QList<QRect> { laptop } << QRect(1, 24, 1278, 775);
    QTest::newRow("smaller than the minimum: the minimum")
        << QRect(100, 100, 100, 50) << QList<QRect> { laptop } << QRect(100, 100, 300, 200);
    QTest::newRow("no size") << QRect(100, 100, 0, 0) << QList<QRect> { laptop } << QRect();
    QTest::newRow("no screen") << QRect(100, 100, 900, 600) << QList<QRect> {} << QRect();
}

void TestLayout::restoredGeometry()
{
    QFETCH(QRect, saved);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, restored);

    // A title bar of 24 pixels and a border of 1.
    const std::optional<QRect> geometry
        = gridlayout::restoredGeometry(saved, QMargins(1, 24, 1, 1), QSize(300, 200), screens);
    QCOMPARE(geometry.value_or(QRect()), restored);
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
