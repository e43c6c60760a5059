// The logging categories for the field: silent unless switched on; once on, every check says what it found
// and why it did what it did, and every send says which files it wrote and removed.
#include "clock.h"
#include "columns.h"
#include "faults.h"
#include "gridtable.h"
#include "mutatiebestand.h"
#include "recordingview.h"
#include "runorderloader.h"
#include "testsupport.h"

#include <QDir>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QDateTime morning(QDate(2026, 12, 7), QTime(9, 0, 0));

QByteArray classBytes(const QString& keys)
{
    QString text = QStringLiteral("owner:Manege\r\nwnr:3\r\nrid:7\r\neditvolgorde:1\r\neditnietgestart:1\r\n"
                                  "rij:key\tnr\tNr\tRuiter\r\n");
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
        text += QStringLiteral("rij:%1\t1\t\tRuiter %1\r\n").arg(key);
    return text.toLatin1();
}

// What the station's categories logged, collected by a message handler.
QStringList logged;
QtMessageHandler previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && QByteArray(context.category).startsWith("baldovenaar."))
        logged << QString::fromLatin1(context.category) + u' ' + message;
    else if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void nothingIsLoggedByDefault();
    void eachCheckSaysWhatItFound_data();
    void eachCheckSaysWhatItFound();
    void sendsSayWhichFilesTheyWroteAndRemoved();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("baldovenaar rst-0001.dvz")); }
    void publish(const QString& keys);
    void follow(const QString& keys);
    // The station's lines, as one text to search.
    static QString log() { return logged.join(u'\n'); }

    std::unique_ptr<QTemporaryDir> m_dir;
    platform::FixedClock m_clock { QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)) };
    AppState m_state;
    GridTable m_grid1, m_grid2, m_grid3;
    testsupport::RecordingView m_view;
    std::unique_ptr<RunOrderLoader> m_loader;
    int m_publications = 0;
};

void TestDiagnostics::initTestCase()
{
    previousHandler = qInstallMessageHandler(collect);
}

void TestDiagnostics::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void TestDiagnostics::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_state = AppState();
    m_clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    for (GridTable* grid : { &m_grid1, &m_grid2, &m_grid3 }) {
        grid->setFixedRows(0);
        grid->setRows(0);
        grid->setCols(column::Count);
        grid->setRows(2);
        grid->setFixedRows(1);
    }
    m_loader = std::make_unique<RunOrderLoader>(m_state, m_grid1, m_grid2, m_grid3, m_view, m_clock);
    m_loader->setSettleTime(0);
    m_publications = 0;
    QLoggingCategory::setFilterRules(QStringLiteral("baldovenaar.*=true"));
    logged.clear();
}

void TestDiagnostics::cleanup()
{
    QLoggingCategory::setFilterRules(QString());
    platform::faults::clear();
    m_loader.reset();
    m_dir.reset();
}

void TestDiagnostics::publish(const QString& keys)
{
    QVERIFY(testsupport::writeFile(path(), classBytes(keys), morning.addSecs(60 * m_publications++)));
}

void TestDiagnostics::follow(const QString& keys)
{
    publish(keys);
    m_state.bestandspad = path();
    m_loader->toonbestand(true);
    QCOMPARE(m_grid1.rows(), int(keys.count(u' ')) + 2);
    logged.clear();
}

void TestDiagnostics::nothingIsLoggedByDefault()
{
    // The rules of a station at a show: none of the station's own.
    QLoggingCategory::setFilterRules(QString());
    follow("A B");
    publish("A B C");
    m_loader->toonbestand(false);
    m_loader->toonbestand(false);
    QVERIFY(verzendmutatie(m_state, m_grid1, m_clock).written);
    wismutaties(m_state);
    m_state.bestandspad = m_dir->filePath(QStringLiteral("weg.dvz"));
    m_loader->toonbestand(false);
    QCOMPARE(logged, QStringList());
}

void TestDiagnostics::eachCheckSaysWhatItFound_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("said");

    QTest::newRow("no file followed") << "none" << QStringList { "check (periodic)", "no file is followed" };
    QTest::newRow("not a running-order file") << "txt" << QStringList { "does not end in .dvz" };
    QTest::newRow("no such file, still followed") << "missing" << QStringList { "nothing matches", "stays followed" };
    QTest::newRow("written yesterday") << "yesterday" << QStringList { "modified 2026-12-06", "not today" };
#ifdef Q_OS_WIN
    const QString source = QStringLiteral("the system's"); // Windows keeps the attributes itself
#else
    const QString source = QStringLiteral("emulated");
#endif
    QTest::newRow("forced read, counted, attributes reset")
        << "forced"
        << QStringList { "check (forced)", "look-up: found baldovenaar rst-0001.dvz", "(today)", "attributes: 0x20",
               source, "archive set: read", "the header and 2 lines", "counts", "rebuilt", "reset to normal" };
    QTest::newRow("not written since the last read") << "unwritten" << QStringList { "attributes: 0x00", "no read" };
    QTest::newRow("a changed list replaces") << "changed" << QStringList { "the list changed", "replaces" };
    QTest::newRow("the same list is merged") << "same" << QStringList { "the same list", "merged" };
    QTest::newRow("written during the read: does not count")
        << "during" << QStringList { "changed while it was read", "does not count" };
    QTest::newRow("the open fails: why") << "open" << QStringList { "could not be opened", "(vergrendeld)" };
    QTest::newRow("attributes cannot be reset") << "reset" << QStringList { "not reset" };
    QTest::newRow("attributes cannot be read") << "unreadable" << QStringList { "nothing matches" };
    QTest::newRow("not settled yet") << "settle" << QStringList { "settle:", "looked at again in 500 ms" };
    QTest::newRow("a check during a check") << "nested" << QStringList { "returns at once" };
}

void TestDiagnostics::eachCheckSaysWhatItFound()
{
    QFETCH(QString, situation);
    QFETCH(QStringList, said);
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(situation == u"unwritten");
    using platform::faults::Operation;
    if (situation != u"none" && situation != u"txt" && situation != u"missing" && situation != u"forced")
        follow("A B");
    if (situation == u"txt")
        m_state.bestandspad = m_dir->filePath(QStringLiteral("klasse.txt"));
    if (situation == u"missing")
        m_state.bestandspad = m_dir->filePath(QStringLiteral("baldovenaar rst-0009.dvz"));
    if (situation == u"yesterday")
        QVERIFY(testsupport::setModified(path(), morning.addDays(-1)));
    if (situation == u"forced") {
        publish("A B");
        m_state.bestandspad = path();
    }
    if (situation == u"changed" || situation == u"during" || situation == u"open" || situation == u"reset"
        || situation == u"settle")
        publish("A B C");
    if (situation == u"same")
        publish("A B");
    if (situation == u"during")
        m_loader->setReadHooks({ {}, [this] { publish("A B C D"); } });
    if (situation == u"open")
        platform::faults::inject(Operation::Open, QStringLiteral("rst-0001"), QStringLiteral("vergrendeld"));
    if (situation == u"reset")
        platform::faults::inject(Operation::SetAttributes, QStringLiteral("rst-0001"), QString());
    if (situation == u"unreadable")
        platform::faults::inject(Operation::GetAttributes, QStringLiteral("rst-0001"), QString());
    if (situation == u"settle")
        m_loader->setSettleTime(500);
    if (situation == u"nested")
        m_state.bezigmetladen = true;

    m_loader->toonbestand(situation == u"forced");
    for (const QString& words : said)
        QVERIFY2(log().contains(words), qPrintable(QStringLiteral("'%1' not in:\n%2").arg(words, log())));
    // Every line comes from the category of the checks, and says something.
    for (const QString& line : std::as_const(logged))
        QVERIFY2(line.startsWith(QStringLiteral("baldovenaar.follow ")) && line.size() > 30, qPrintable(line));
}

void TestDiagnostics::sendsSayWhichFilesTheyWroteAndRemoved()
{
    follow("A B");
    const QString folder = m_dir->path() + u'/';
    QVERIFY(testsupport::writeFile(folder + QStringLiteral("20261206-080000-9-baldovenaar-s.mut"), "oud\r\n"));
    QVERIFY(verzendmutatie(m_state, m_grid1, m_clock).written);
    QVERIFY2(log().contains("send: wrote 20261207-100000-7-baldovenaar-s.mut in " + folder), qPrintable(log()));
    QVERIFY(log().contains("send: wrote 20261207-100000-7-baldovenaar-h.mut in " + folder));
    QVERIFY(log().contains("send: removed 20261206-080000-9-baldovenaar-s.mut"));

    logged.clear();
    platform::faults::inject(
        platform::faults::Operation::Write, QStringLiteral("-h.mut"), QStringLiteral("Schijf vol"));
    m_clock.setNow(m_clock.now().addSecs(1));
    QVERIFY(!verzendmutatie(m_state, m_grid1, m_clock).written);
    QVERIFY(log().contains("send: could not write 20261207-100001-7-baldovenaar-h.mut in " + folder + " - Schijf vol"));
    platform::faults::clear();

    logged.clear();
    wismutaties(m_state);
    QVERIFY(log().contains("clean-up: removed 20261207-100001-7-baldovenaar-s.mut"));
    QVERIFY(log().contains("clean-up: removed 20261207-100000-7-baldovenaar-h.mut"));

    logged.clear();
    m_state.klasbekend = false;
    verzendmutatie(m_state, m_grid1, m_clock);
    QVERIFY(log().contains("send: nothing sent, the class is not known yet"));
    for (const QString& line : std::as_const(logged))
        QVERIFY(line.startsWith(QStringLiteral("baldovenaar.send ")));
}

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"
