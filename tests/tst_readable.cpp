// Reading the screen, on the real main window over the station: the names fitted to the window at the first start
// and by Beeld > Passend (Ctrl+0), a cut text's tooltip and the marks' meanings, the window coming back where it
// was, the sunlight mode as painted (every text's pixels against its background), and Qt's own texts in Dutch.
#include "changemarks.h"
#include "classfile.h"
#include "colourtable.h"
#include "columns.h"
#include "democlass.h"
#include "flexgrid.h"
#include "gridlayout.h"
#include "kleuren.h"
#include "namefit.h"
#include "publishedorder.h"
#include "qttranslations.h"
#include "settingsstore.h"
#include "statusline.h"
#include "textmeasurer.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QTranslator>

namespace {

// The sample class of the office stand-in, of the fixture's day: real names, some long.
kantoor::PublishedOrder demoClass()
{
    return kantoor::demoOrder(testsupport::StationFixture::today().date());
}

QByteArray demoBytes()
{
    return kantoor::runningOrderBytes(demoClass());
}

QAction* action(const FrmBaldovenaar& window, const char* name)
{
    return window.findChild<QAction*>(QLatin1String(name));
}

// The rider, horse and club texts that the layout gives less than their natural width, "row:column".
QStringList cutNames(const FrmBaldovenaar& window, const GridTable& table)
{
    TextMeasurer measurer(window.findChild<QWidget*>(QStringLiteral("picTemp"))->font());
    QStringList cut;
    for (int r = 0; r < table.rows(); ++r) {
        for (int c = column::Rider; c <= column::Club; ++c) {
            if (measurer.widthTwips(QStringLiteral("   ") + table.textMatrix(r, c)) > table.colWidth(c))
                cut << QStringLiteral("%1:%2").arg(r).arg(c);
        }
    }
    return cut;
}

// Whether the rider, horse and club of nine in ten starters show whole.
bool nineInTenWhole(const FlexGrid& grid, const GridTable& table)
{
    int starters = 0;
    int whole = 0;
    for (int r = 1; r < table.rows(); ++r) {
        if (table.textView(r, column::Key).isEmpty() || isPauseKey(table.textView(r, column::Key)))
            continue;
        ++starters;
        whole += grid.isCut(r, column::Rider) || grid.isCut(r, column::Horse) || grid.isCut(r, column::Club) ? 0 : 1;
    }
    return whole * 10 >= starters * 9;
}

quint32 rawOf(QRgb pixel)
{
    return colours::rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

// What a painted text looks like: the colour most of the area has (its background) and, of the others, the one
// that stands out from it most (the text's own colour, where the glyphs are solid).
struct Painted
{
    quint32 back = 0;
    quint32 text = 0;
    double contrast = 0;
};

Painted paintedText(const QImage& image, const QRect& area)
{
    QHash<quint32, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[rawOf(image.pixel(x, y))];
    }
    Painted painted;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            painted.back = it.key();
        }
    }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double contrast = codeKleuren::contrastRatio(it.key(), painted.back);
        if (contrast > painted.contrast) {
            painted.contrast = contrast;
            painted.text = it.key();
        }
    }
    return painted;
}

} // namespace

class TestReadable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namesFitTheWindow_data();
    void namesFitTheWindow();
    void tooltips_data();
    void tooltips();
    void windowComesBack_data();
    void windowComesBack();
    void sunlight();
    void statusLineAndSunlightFollowTheZoom();
    void qtSpeaksDutch();

private:
    std::unique_ptr<testsupport::WindowFixture> m_kit;
};

void TestReadable::init()
{
    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
}

void TestReadable::cleanup()
{
    m_kit.reset();
}

void TestReadable::namesFitTheWindow_data()
{
    QTest::addColumn<QString>("savedScale"); // the settings' "scale"; empty: none saved
    QTest::addColumn<bool>("passend"); // Ctrl+0 once the list is shown
    QTest::addColumn<bool>("fits");

    QTest::newRow("first start, no zoom saved: readable, nine in ten names whole") << QString() << false << true;
    QTest::newRow("a zoom saved: kept, names cut") << QStringLiteral("0.03") << false << false;
    QTest::newRow("a zoom saved, then Ctrl+0: readable, nine in ten names whole")
        << QStringLiteral("0.03") << true << true;
}

void TestReadable::namesFitTheWindow()
{
    QFETCH(QString, savedScale);
    QFETCH(bool, passend);
    QFETCH(bool, fits);

    // The class is followed from the start; a saved zoom is in the settings beside it.
    QVERIFY(m_kit->publish(demoBytes()));
    const std::unique_ptr<SettingsStore> settings = SettingsStore::forUser();
    QVERIFY(settings->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("lastfile"), m_kit->classPath()));
    if (!savedScale.isEmpty())
        QVERIFY(settings->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("scale"), savedScale));

    FrmBaldovenaar& window = m_kit->makeWindow();
    window.resize(760, 520);
    QTRY_COMPARE(window.width(), 760);
    Station& station = m_kit->station();
    QVERIFY(station.working().rows() > 30);
    if (passend)
        QTest::keyClick(m_kit->grid(), Qt::Key_0, Qt::ControlModifier);

    if (!fits) {
        QVERIFY(!cutNames(window, station.working()).isEmpty());
        QCOMPARE(station.state().scale, savedScale.toDouble());
        return;
    }
    // Sized for reading at a distance: at least the floor (rows of a thirtieth of the screen's height in a window
    // as wide as the screen, in proportion in this one), and the names of nine in ten starters whole unless that
    // floor is what sets the size (then the rest end in "…").
    const int floor = namefit::floorPixels(window.screen()->geometry().height(),
        [](int pixels) { return FlexGrid::rowHeightFor(gridlayout::layoutFont(QFont("Arial"), pixels * 0.75)); });
    const double floorScale = namefit::scaleForPixels(floor, window.screen()->availableGeometry().width());
    auto readable = [&] {
        const double scale = station.state().scale;
        return scale >= floorScale && (scale == floorScale || nineInTenWhole(*m_kit->grid(), station.working()));
    };
    QTRY_VERIFY(readable());
    // Not merely small: a step larger (the large "a") and some name no longer fits.
    QTest::mouseClick(m_kit->button(knoppen::Groter), Qt::LeftButton);
    QVERIFY(!cutNames(window, station.working()).isEmpty());
    // The fit is a zoom like any other: kept at the close.
    window.close();
    QVERIFY(!settings->value(QStringLiteral("Baldovenaar"), QStringLiteral("scale"), QString()).isEmpty());
}

void TestReadable::tooltips_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("whole"); // the text the tooltip shows whole; empty: none
    QTest::addColumn<bool>("explained"); // the tooltip says what a mark means

    // Row 3's horse is "Nina van het Zwanenhof", which the office renames; row 2's starter the ring marks.
    QTest::newRow("a long name cut short") << 1 << int(column::Horse) << "Quibus van de Heuvelhoeve" << false;
    QTest::newRow("a short name, whole") << 2 << int(column::Horse) << "" << false;
    QTest::newRow("a name the office changed, cut short")
        << 3 << int(column::Horse) << "Nina van het Zwanenhof II" << true;
    QTest::newRow("the position of a row not sent") << 2 << int(column::Position) << "" << true;
    QTest::newRow("another cell of that row") << 2 << int(column::Number) << "" << false;
}

void TestReadable::tooltips()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, whole);
    QFETCH(bool, explained);

    m_kit->makeWindow();
    FrmBaldovenaar& window = m_kit->window();
    window.resize(760, 520);
    QTRY_COMPARE(window.width(), 760);
    // The names made small enough that all fit, then a step larger: the longest no longer fit.
    QVERIFY(m_kit->openClass(demoBytes()));
    Station& station = m_kit->station();
    for (int step = 0; step < 40 && !cutNames(window, station.working()).isEmpty(); ++step)
        QTest::mouseClick(m_kit->button(knoppen::Kleiner), Qt::LeftButton);
    QVERIFY(cutNames(window, station.working()).isEmpty());
    QTest::mouseClick(m_kit->button(knoppen::Groter), Qt::LeftButton);
    kantoor::PublishedOrder office = demoClass();
    QVERIFY(testsupport::setCell(office, station.working().textMatrix(3, column::Key), column::Horse,
        QStringLiteral("Nina van het Zwanenhof II")));
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(office)));
    station.Timer1_Timer();
    testsupport::selectRow(station, 2);
    station.wisselnietgestart();
    testsupport::selectRow(station, 5);

    FlexGrid* grid = m_kit->grid();
    QCOMPARE(grid->isCut(row, col), !whole.isEmpty());
    const QString tip = grid->cellToolTip(row, col);
    if (!whole.isEmpty())
        QCOMPARE(tip.section(u'\n', 0, 0), whole);
    QCOMPARE(tip.isEmpty(), whole.isEmpty() && !explained);
    QCOMPARE(tip.contains(u'\n'), !whole.isEmpty() && explained);

    // As the official sees it: the pointer rests on the cell.
    const QRect cell = grid->cellRect(row, col);
    QHelpEvent help(QEvent::ToolTip, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid->viewport(), &help);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
    QToolTip::hideText();
}

void TestReadable::windowComesBack_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QRect>("left"); // where the official leaves the window, relative to the screen's free area
    QTest::addColumn<QString>("back"); // "as left", "moved in" (its frame's right edge on the screen's), "centred"

    QTest::newRow("where it was left") << false << QRect(40, 30, 600, 420) << "as left";
    QTest::newRow("maximised: maximised, and its normal place kept") << true << QRect(40, 30, 600, 420) << "as left";
    QTest::newRow("dragged half off the screen: moved back onto it") << false << QRect(500, 30, 600, 420) << "moved in";
    QTest::newRow("on a screen that is gone: centred") << false << QRect(5000, 30, 600, 420) << "centred";
}

void TestReadable::windowComesBack()
{
    QFETCH(bool, maximised);
    QFETCH(QRect, left);
    QFETCH(QString, back);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    left.translate(screen.topLeft());
    FrmBaldovenaar& first = m_kit->makeWindow();
    first.setGeometry(left);
    QTRY_COMPARE(first.geometry(), left);
    if (maximised) {
        first.showMaximized();
        QTRY_VERIFY(first.isMaximized());
    }
    first.close();

    FrmBaldovenaar& second = m_kit->makeWindow();
    QCOMPARE(second.isMaximized(), maximised);
    const QRect normal = second.isMaximized() ? second.normalGeometry() : second.geometry();
    if (back == u"as left") {
        QCOMPARE(normal, left);
    } else if (back == u"moved in") {
        QCOMPARE(normal.size(), left.size());
        QCOMPARE(normal.top(), left.top());
        QCOMPARE(second.frameGeometry().right(), screen.right());
    } else {
        QVERIFY(screen.contains(second.frameGeometry()));
        QVERIFY(std::abs(second.frameGeometry().center().x() - screen.center().x()) <= 1);
    }
}

void TestReadable::statusLineAndSunlightFollowTheZoom()
{
    // Short names on a wide window: the fit, not the floor, sets the size, and at it the names just fit.
    FrmBaldovenaar& window = m_kit->makeWindow();
    window.resize(1600, 560);
    QTRY_COMPARE(window.width(), 1600);
    QVERIFY(m_kit->openClass(testsupport::classBytes(QStringLiteral("a b c d e f g h i j k l"))));
    Station& station = m_kit->station();
    FlexGrid* grid = m_kit->grid();
    QTest::keyClick(grid, Qt::Key_0, Qt::ControlModifier);
    QVERIFY(cutNames(window, station.working()).isEmpty());
    const StatusLine* status = window.findChild<StatusLine*>();
    QVERIFY(status);
    auto statusPixels = [status] { return QFontInfo(status->font()).pixelSize(); };
    // The status line's letters as large as the list's, and its height holds them.
    QVERIFY(statusPixels() >= gridlayout::pixelSize(station.working().fontSize()));
    QVERIFY(status->height() >= QFontMetrics(status->font()).height());
    QVERIFY(status->geometry().top() >= grid->geometry().bottom());

    // Bold letters are wider: switched on, the names are fitted again and stay whole.
    action(window, "mnuZonlicht")->trigger();
    QVERIFY(cutNames(window, station.working()).isEmpty());
    action(window, "mnuZonlicht")->trigger();
    QVERIFY(cutNames(window, station.working()).isEmpty());

    // Made small, the status line keeps its own size.
    const int least = statusPixels();
    for (int step = 0; step < 30; ++step)
        QTest::mouseClick(m_kit->button(knoppen::Kleiner), Qt::LeftButton);
    QVERIFY(statusPixels() <= least);
    QCOMPARE(status->font().pointSizeF(), 10.0);
}

void TestReadable::sunlight()
{
    FrmBaldovenaar& window = m_kit->makeWindow();
    window.resize(760, 560);
    QTRY_COMPARE(window.width(), 760);
    QVERIFY(m_kit->openClass(demoBytes()));
    Station& station = m_kit->station();
    // A cell the office changed, a starter the ring moved, a selection.
    kantoor::PublishedOrder office = demoClass();
    QVERIFY(testsupport::setCell(office, station.working().textMatrix(4, column::Key), column::Time, "10:37"));
    QVERIFY(m_kit->publish(kantoor::runningOrderBytes(office)));
    station.Timer1_Timer();
    testsupport::selectRow(station, 1);
    station.verplaatsregel(regels::Richting::Omlaag);

    action(window, "mnuZonlicht")->trigger();
    QVERIFY(window.isZonlicht());
    QVERIFY(action(window, "mnuZonlicht")->isChecked());
    FlexGrid* grid = m_kit->grid();
    QVERIFY(grid->isSunlight());
    QVERIFY(grid->font().bold());

    // Each text as painted, against what it stands on: the mode's colours, at 7:1 or more.
    const QImage image = grid->viewport()->grab().toImage();
    const struct
    {
        int row;
        int col;
        quint32 back;
        const char* what;
    } cells[] = {
        { 0, column::Rider, colours::sunlight::header, "the header" },
        { 3, column::Rider, colours::sunlight::page, "a plain row" },
        { 2, column::Rider, colours::sunlight::selected, "the selected row" },
        { 4, column::Time, colours::sunlight::page, "the office's change" },
        { 2, column::Position, colours::sunlight::selected, "an unsent row's position" },
    };
    for (const auto& cell : cells) {
        const Painted painted = paintedText(image, grid->textRect(cell.row, cell.col));
        QVERIFY2(painted.back == cell.back, cell.what);
        QVERIFY2(painted.contrast >= colours::sunlight::minimumContrast, cell.what);
    }
    // The status line and the change indicator say it in words, readable as the rest.
    auto* status = window.findChild<StatusLine*>(QStringLiteral("statusLine"));
    QVERIFY(!status->text().isEmpty());
    const Painted line = paintedText(status->grab().toImage(), status->rect().adjusted(3, 3, -3, -3));
    QVERIFY(line.contrast >= colours::sunlight::minimumContrast);
    QVERIFY(m_kit->publish(testsupport::classBytes("1 2 3")));
    station.Timer1_Timer();
    QLabel* indicator = m_kit->label(QStringLiteral("lblMutatie"));
    QCOMPARE(indicator->text().isEmpty(), false);
    const Painted said = paintedText(indicator->grab().toImage(), indicator->rect().adjusted(3, 3, -3, -3));
    QCOMPARE(said.back, colours::sunlight::indicatorNew);
    QVERIFY(said.contrast >= colours::sunlight::minimumContrast);

    // Kept: the next start is in the sunlight too; switched off, the office's look is back.
    m_kit->makeWindow();
    QVERIFY(m_kit->grid()->isSunlight());
    action(m_kit->window(), "mnuZonlicht")->trigger();
    QVERIFY(!m_kit->grid()->isSunlight());
    QVERIFY(!m_kit->grid()->font().bold());
    QVERIFY(m_kit->label(QStringLiteral("lblMutatie"))->text().isEmpty());
    m_kit->makeWindow();
    QVERIFY(!m_kit->grid()->isSunlight());
}

void TestReadable::qtSpeaksDutch()
{
    QVERIFY2(installDutchQtTranslations(*qApp), "qtbase_nl.qm not found: install qt6-translations-l10n");
    QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annuleren"));
    QCOMPARE(box.button(QDialogButtonBox::Open)->text(), QStringLiteral("Openen"));
    for (QTranslator* translator : qApp->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(translator);
}

QTEST_MAIN(TestReadable)
#include "tst_readable.moc"
