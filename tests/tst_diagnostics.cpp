// The logging categories for the field: silent unless switched on; once on, every check says what it found
// and why it did what it did, and every send says which files it wrote and removed.
#include "classfile.h"
#include "clock.h"
#include "columns.h"
#include "faults.h"
#include "files.h"
#include "gridtable.h"
#include "loaderfixture.h"
#include "mutatiebestand.h"
#include "runorderloader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QDateTime morning(QDate(2026, 12, 7), QTime(9, 0, 0));

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
    void shownNamesTheBytesOnScreenOnlyWhenTheyAre();

private:
    QString path() const { return m_kit->path(); }
    void publish(const QString& keys);
    void follow(const QString& keys);
    // The station's lines, as one text to search.
    static QString log() { return logged.join(u'\n'); }

    std::unique_ptr<testsupport::LoaderFixture> m_kit;
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
    m_kit = std::make_unique<testsupport::LoaderFixture>();
    QVERIFY(m_kit->dir.isValid());
    m_publications = 0;
    QLoggingCategory::setFilterRules(QStringLiteral("baldovenaar.*=true"));
    logged.clear();
}

void TestDiagnostics::cleanup()
{
    QLoggingCategory::setFilterRules(QString());
    platform::faults::clear();
    m_kit.reset();
}

void TestDiagnostics::publish(const QString& keys)
{
    QVERIFY(testsupport::writeFile(path(), testsupport::classBytes(keys), morning.addSecs(60 * m_publications++)));
}

void TestDiagnostics::follow(const QString& keys)
{
    publish(keys);
    m_kit->state.setBestandspad(path());
    m_kit->check(true);
    QCOMPARE(m_kit->grid1->rows(), int(keys.count(u' ')) + 2);
    logged.clear();
}

void TestDiagnostics::nothingIsLoggedByDefault()
{
    // The rules of a station at a show: none of the station's own.
    QLoggingCategory::setFilterRules(QString());
    follow("A B");
    publish("A B C");
    m_kit->check(false);
    m_kit->check(false);
    QVERIFY(verzendmutatie(m_kit->state, *m_kit->grid1, m_kit->clock).written);
    wismutaties(m_kit->state);
    m_kit->state.setBestandspad(m_kit->dir.filePath(QStringLiteral("weg.dvz")));
    m_kit->check(false);
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
        m_kit->state.setBestandspad(m_kit->dir.filePath(QStringLiteral("klasse.txt")));
    if (situation == u"missing")
        m_kit->state.setBestandspad(m_kit->dir.filePath(QStringLiteral("baldovenaar rst-0009.dvz")));
    if (situation == u"yesterday")
        QVERIFY(testsupport::setModified(path(), morning.addDays(-1)));
    if (situation == u"forced") {
        publish("A B");
        m_kit->state.setBestandspad(path());
    }
    if (situation == u"changed" || situation == u"during" || situation == u"open" || situation == u"reset"
        || situation == u"settle")
        publish("A B C");
    if (situation == u"same")
        publish("A B");
    if (situation == u"during")
        m_kit->loader->setReadHooks({ {}, [this] { publish("A B C D"); } });
    if (situation == u"open")
        platform::faults::inject(Operation::Open, QStringLiteral("rst-0001"), QStringLiteral("vergrendeld"));
    if (situation == u"reset")
        platform::faults::inject(Operation::SetAttributes, QStringLiteral("rst-0001"), QString());
    if (situation == u"unreadable")
        platform::faults::inject(Operation::GetAttributes, QStringLiteral("rst-0001"), QString());
    if (situation == u"settle")
        m_kit->loader->setSettleTime(500);
    if (situation == u"nested")
        m_kit->state.bezigmetladen = true;

    m_kit->check(situation == u"forced");
    for (const QString& words : said)
        QVERIFY2(log().contains(words), qPrintable(QStringLiteral("'%1' not in:\n%2").arg(words, log())));
    // Every line comes from the category of the checks, and says something.
    for (const QString& line : std::as_const(logged))
        QVERIFY2(line.startsWith(QStringLiteral("baldovenaar.follow ")) && line.size() > 30, qPrintable(line));
}

void TestDiagnostics::sendsSayWhichFilesTheyWroteAndRemoved()
{
    follow("A B");
    const QString folder = m_kit->dir.path() + u'/';
    QVERIFY(testsupport::writeFile(folder + QStringLiteral("20261206-080000-9-baldovenaar-s.mut"), "oud\r\n"));
    QVERIFY(verzendmutatie(m_kit->state, *m_kit->grid1, m_kit->clock).written);
    QVERIFY2(log().contains("send: wrote 20261207-100000-7-baldovenaar-s.mut in " + folder), qPrintable(log()));
    QVERIFY(log().contains("send: wrote 20261207-100000-7-baldovenaar-h.mut in " + folder));
    QVERIFY(log().contains("send: removed 20261206-080000-9-baldovenaar-s.mut"));

    logged.clear();
    platform::faults::inject(
        platform::faults::Operation::Write, QStringLiteral("-h.mut"), QStringLiteral("Schijf vol"));
    m_kit->clock.setNow(m_kit->clock.now().addSecs(1));
    QVERIFY(!verzendmutatie(m_kit->state, *m_kit->grid1, m_kit->clock).written);
    QVERIFY(log().contains("send: could not write 20261207-100001-7-baldovenaar-h.mut in " + folder + " - Schijf vol"));
    platform::faults::clear();

    logged.clear();
    wismutaties(m_kit->state);
    QVERIFY(log().contains("clean-up: removed 20261207-100001-7-baldovenaar-s.mut"));
    QVERIFY(log().contains("clean-up: removed 20261207-100000-7-baldovenaar-h.mut"));

    logged.clear();
    m_kit->state.klasbekend = false;
    verzendmutatie(m_kit->state, *m_kit->grid1, m_kit->clock);
    QVERIFY(log().contains("send: nothing sent, the class is not known yet"));
    for (const QString& line : std::as_const(logged))
        QVERIFY(line.startsWith(QStringLiteral("baldovenaar.send ")));
}

void TestDiagnostics::shownNamesTheBytesOnScreenOnlyWhenTheyAre()
{
    follow("A B");
    publish("A B C");
    m_kit->check(false);
    const QByteArray shown = QCryptographicHash::hash(testsupport::readFile(path()), QCryptographicHash::Sha1).toHex();
    QVERIFY2(log().contains(QStringLiteral("shown: sha1 ") + QLatin1String(shown)), qPrintable(log()));

    // Not written since, or written while it was read: the list on screen stays, and no other bytes are named.
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(true);
    logged.clear();
    m_kit->check(false);
    publish("A B C D");
    m_kit->loader->setReadHooks({ {}, [this] { publish("A B C D E"); } });
    m_kit->check(false);
    QVERIFY2(!log().contains(QStringLiteral("shown:")), qPrintable(log()));
}

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"
