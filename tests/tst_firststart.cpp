// The station's first start on the screen of the machine it runs on, as an official meets it: no place or zoom
// saved, the class followed from the start. Run once per screen (BALDOVENAAR_SCREEN, "1366x768" when not set:
// a laptop; CTest runs it for a full-HD screen too). With BALDOVENAAR_SHOT the window is saved there as a PNG.
#include "columns.h"
#include "democlass.h"
#include "flexgrid.h"
#include "publishedorder.h"
#include "settingsstore.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

namespace {

// A rider's name of 45 characters: as long as the office's names come.
const QString longName = QStringLiteral("Anne-Marie van den Hoogenband-Schellekens-Bos");

kantoor::PublishedOrder classWithALongName()
{
    kantoor::PublishedOrder order = kantoor::demoOrder(testsupport::StationFixture::today().date());
    for (QStringList& line : order.lines) {
        if (!line.value(column::Key).isEmpty() && !isPauseKey(line.value(column::Key))) {
            line[column::Rider] = longName;
            break;
        }
    }
    return order;
}

} // namespace

class TestFirstStart : public QObject
{
    Q_OBJECT

private slots:
    void readableAtTheFirstStart();
    void laterStartsKeepThePlaceAndZoom();

private:
    FrmBaldovenaar& startWithTheClass(testsupport::WindowFixture& kit);
};

FrmBaldovenaar& TestFirstStart::startWithTheClass(testsupport::WindowFixture& kit)
{
    const std::unique_ptr<SettingsStore> settings = SettingsStore::forUser();
    settings->setValue(QStringLiteral("Baldovenaar"), QStringLiteral("lastfile"), kit.classPath());
    kit.maximiseAtFirstStart = true;
    return kit.makeWindow();
}

void TestFirstStart::readableAtTheFirstStart()
{
    testsupport::WindowFixture kit;
    QVERIFY(kit.isValid());
    QVERIFY(kit.publish(kantoor::runningOrderBytes(classWithALongName())));
    FrmBaldovenaar& window = startWithTheClass(kit);
    const QScreen* screen = window.screen();
    QVERIFY(screen);

    // The whole screen's free area, maximised.
    QTRY_VERIFY(window.isMaximized());
    QTRY_COMPARE(window.frameGeometry().size(), screen->availableGeometry().size());
    // The list sized once it has that size (a moment after it is shown).
    FlexGrid* grid = kit.grid();
    const GridTable& table = kit.station().working();
    const int floor = int(std::ceil(screen->geometry().height() / 30.0));
    QTRY_VERIFY(grid->rowHeightPixels() >= floor);
    QTest::qWait(200);

    // Nine in ten starters' names whole; the long one cut, whole in its tooltip.
    int starters = 0;
    int whole = 0;
    int longRow = -1;
    for (int r = 1; r < table.rows(); ++r) {
        if (isPauseKey(table.textView(r, column::Key)) || table.textView(r, column::Key).isEmpty())
            continue;
        ++starters;
        bool cut = false;
        for (int c = column::Rider; c <= column::Club; ++c)
            cut = cut || grid->isCut(r, c);
        whole += cut ? 0 : 1;
        if (table.textMatrix(r, column::Rider) == longName)
            longRow = r;
    }
    QVERIFY(starters >= 20);
    QVERIFY2(whole * 10 >= starters * 9, qPrintable(QStringLiteral("%1 of %2 whole").arg(whole).arg(starters)));
    QVERIFY(longRow > 0);
    if (grid->isCut(longRow, column::Rider))
        QCOMPARE(grid->cellToolTip(longRow, column::Rider).section(u'\n', 0, 0), longName);
    // Not merely small: the rows at the floor, or the names fitted above it.
    QVERIFY(grid->rowHeightPixels() >= floor);

    if (const QByteArray shot = qgetenv("BALDOVENAAR_SHOT"); !shot.isEmpty())
        window.grab().save(QFile::decodeName(shot));
}

void TestFirstStart::laterStartsKeepThePlaceAndZoom()
{
    testsupport::WindowFixture kit;
    QVERIFY(kit.isValid());
    QVERIFY(kit.publish(kantoor::runningOrderBytes(classWithALongName())));
    FrmBaldovenaar& first = startWithTheClass(kit);
    QTRY_VERIFY(first.isMaximized());
    // The official makes the window normal again and chooses a smaller zoom.
    first.showNormal();
    QTRY_VERIFY(!first.isMaximized());
    QTest::mouseClick(kit.button(knoppen::Kleiner), Qt::LeftButton);
    const double chosen = kit.station().state().scale;
    const QSize normal = first.size();
    QVERIFY(first.close());

    FrmBaldovenaar& second = kit.makeWindow();
    QTest::qWait(200);
    QVERIFY(!second.isMaximized());
    QCOMPARE(second.size(), normal);
    QCOMPARE(kit.station().state().scale, chosen);
}

int main(int argc, char* argv[])
{
    QByteArray size = qgetenv("BALDOVENAAR_SCREEN");
    if (size.isEmpty())
        size = "1366x768";
    const QList<QByteArray> sides = size.split('x');
    if (sides.size() != 2)
        return 1;
    // The platform's arguments are split at colons, so the file is named without a drive letter: in a folder
    // made in the working folder, by a path relative to it.
    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("tst_firststart-XXXXXX")));
    const QString config = QDir::current().relativeFilePath(dir.filePath(QStringLiteral("screens.json")));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QByteArray(R"({ "screens": [ { "name": "screen", "x": 0, "y": 0, "width": )") + sides[0]
               + R"(, "height": )" + sides[1] + R"(, "logicalDpi": 96, "dpr": 1 } ] })")
            < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(config));
    QApplication app(argc, argv);
    TestFirstStart test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_firststart.moc"
