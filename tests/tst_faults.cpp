// Faults while a running-order file is followed, through real files and the platform layer's injected
// failures: the shared folder that goes and comes back, a file that is gone (or is something else) by the
// time it is opened, opens and reads that fail, attributes that cannot be read or reset. Each test is named
// after what the official sees; every one ends with the office's next write shown as it should be.
#include "classfile.h"
#include "clock.h"
#include "colourtable.h"
#include "columns.h"
#include "faults.h"
#include "fileattributes.h"
#include "files.h"
#include "gridtable.h"
#include "loaderfixture.h"
#include "runorderloader.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using platform::faults::Operation;

namespace {

const QDateTime morning(QDate(2026, 12, 7), QTime(9, 0, 0));

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sharedFolderGoneShowsTheLastListGreyedUntilItReturns_data();
    void sharedFolderGoneShowsTheLastListGreyedUntilItReturns();
    void chosenFileMissedByTheLookUpIsReadWholeOnceFound();
    void fileGoneOrReplacedBeforeTheOpenIsReadWhenBack_data();
    void fileGoneOrReplacedBeforeTheOpenIsReadWhenBack();
    void failingFileOperationsNeverCostTheRingItsList_data();
    void failingFileOperationsNeverCostTheRingItsList();

private:
    QString path() const { return m_folder + QStringLiteral("baldovenaar rst-0001.dvz"); }
    // The office writes the class, each time a minute later than before.
    void publish(const QStringList& keys);
    // Follows the class as Openen does, and marks the second starter not started at the ring.
    void followAndMark(const QStringList& keys);
    QString keys() const;

    // The shared folder GEDEELD in the kit's folder, so that it can go away and come back.
    QString root() const { return m_kit->dir.path(); }
    std::unique_ptr<testsupport::LoaderFixture> m_kit;
    QString m_folder;
    int m_publications = 0;
};

void TestFaults::init()
{
    m_kit = std::make_unique<testsupport::LoaderFixture>();
    QVERIFY(m_kit->dir.isValid());
    QVERIFY(QDir(root()).mkdir(QStringLiteral("GEDEELD")));
    m_folder = root() + QStringLiteral("/GEDEELD/");
    m_publications = 0;
}

void TestFaults::cleanup()
{
    platform::faults::clear();
    m_kit.reset();
}

void TestFaults::publish(const QStringList& keys)
{
    QVERIFY(testsupport::writeFile(
        path(), testsupport::classBytes(keys.join(u' ')), morning.addSecs(60 * m_publications++)));
}

void TestFaults::followAndMark(const QStringList& keys)
{
    publish(keys);
    m_kit->state.setBestandspad(path());
    m_kit->check(true);
    QCOMPARE(m_kit->grid1->rows(), int(keys.size()) + 1);
    m_kit->grid1->setTextMatrix(2, column::Mark, QStringLiteral("N"));
}

QString TestFaults::keys() const
{
    QStringList keys;
    for (int r = 1; r < m_kit->grid1->rows(); ++r)
        keys << m_kit->grid1->textMatrix(r, column::Key);
    return keys.join(u' ');
}

void TestFaults::sharedFolderGoneShowsTheLastListGreyedUntilItReturns_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("rewritten"); // the office writes the class while the folder is away
    QTest::newRow("unmounted, back unchanged: the ring's list and marks") << "rename" << false;
    QTest::newRow("unmounted, back rewritten: the office's new list") << "rename" << true;
    QTest::newRow("network drop, listing fails: the ring's list and marks") << "list" << false;
    QTest::newRow("network drop, back rewritten: the office's new list") << "list" << true;
}

void TestFaults::sharedFolderGoneShowsTheLastListGreyedUntilItReturns()
{
    QFETCH(QString, how);
    QFETCH(bool, rewritten);
    followAndMark({ "A", "B", "C" });
    const QString away = root() + QStringLiteral("/weg");
    if (how == u"rename")
        QVERIFY(QDir().rename(root() + QStringLiteral("/GEDEELD"), away));
    else
        platform::faults::inject(Operation::List, QStringLiteral("GEDEELD"), QStringLiteral("netwerk weg"));

    // The class goes on while the network is down: the last list stays on screen, greyed, with its
    // caption and labels.
    const QString caption = m_kit->view.caption;
    for (int tick = 0; tick < 3; ++tick) {
        m_kit->check(false);
        QCOMPARE(m_kit->view.listState, ListState::Stale);
        QCOMPARE(m_kit->view.caption, caption);
        QCOMPARE(m_kit->state.bestandspad(), path()); // still followed
    }

    if (how == u"rename")
        QVERIFY(QDir().rename(away, root() + QStringLiteral("/GEDEELD")));
    else
        platform::faults::clear();
    if (rewritten)
        publish({ "A", "C", "D" });
    m_kit->check(false);
    QVERIFY(m_kit->view.gridVisible);
    QCOMPARE(keys(), rewritten ? QString("A C D") : QString("A B C"));
    QCOMPARE(m_kit->grid1->textMatrix(2, column::Mark), rewritten ? QString() : QString("N"));
    QCOMPARE(m_kit->view.news, rewritten ? ListNews::New : ListNews::Same);
}

void TestFaults::chosenFileMissedByTheLookUpIsReadWholeOnceFound()
{
    publish({ "A", "B", "C" });
    // Openen, while the network is down.
    m_kit->startNewFile();
    m_kit->state.setBestandspad(path());
    platform::faults::inject(Operation::List, QStringLiteral("GEDEELD"), QStringLiteral("netwerk weg"));
    m_kit->check(true);
    QVERIFY(!m_kit->view.gridVisible);
    platform::faults::clear();
    // Meanwhile another reader has reset the attributes: no write since, and still the whole file is read.
    QVERIFY(platform::setFileAttributes(path(), platform::AttrNormal));
    m_kit->check(false);
    QVERIFY(m_kit->view.gridVisible);
    QCOMPARE(keys(), QString("A B C"));
    QCOMPARE(m_kit->grid1->textMatrix(0, 3), QString("Ruiter"));
    QCOMPARE(m_kit->grid1->rowData(1), 1);
    QCOMPARE(m_kit->view.caption, QString("Korvalen Baldovenaar - baldovenaar rst-0001 (Ruitersport Oost)"));
    QVERIFY(m_kit->state.klasbekend);
}

void TestFaults::fileGoneOrReplacedBeforeTheOpenIsReadWhenBack_data()
{
    QTest::addColumn<QString>("replacement"); // what stands under the file's name when it is opened
    QTest::addColumn<bool>("forced");
    // A forced read of a file that cannot be opened shows an empty list (as the office programs do) and
    // is repeated; a periodic one leaves the ring's list alone. Neither waits on what is not a file.
    QStringList replacements { "nothing", "a folder" };
#ifdef Q_OS_UNIX
    // Windows has neither FIFOs nor symbolic links that a user makes in a folder.
    replacements.append({ "a FIFO", "a link to a FIFO", "a dangling link" });
#endif
    for (const QString& replacement : replacements) {
        for (const bool forced : { false, true }) {
            QTest::addRow("%s, %s", qPrintable(replacement), forced ? "forced" : "periodic") << replacement << forced;
        }
    }
}

void TestFaults::fileGoneOrReplacedBeforeTheOpenIsReadWhenBack()
{
    QFETCH(QString, replacement);
    QFETCH(bool, forced);
    followAndMark({ "A", "B", "C" });
    publish({ "A", "B", "C", "D" });
    const QString aside = root() + QStringLiteral("/apart.dvz");
    // Between the look-up and the open the file goes, and something else may take its name.
    m_kit->loader->setReadHooks({ [&] {
                                     QVERIFY(QFile::rename(path(), aside));
                                     if (replacement == u"a folder")
                                         QVERIFY(QDir().mkdir(path()));
#ifdef Q_OS_UNIX
                                     if (replacement == u"a FIFO") {
                                         QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
                                     } else if (replacement == u"a link to a FIFO") {
                                         const QString fifo = root() + QStringLiteral("/pijp");
                                         QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
                                         QVERIFY(QFile::link(fifo, path()));
                                     } else if (replacement == u"a dangling link") {
                                         QVERIFY(QFile::link(root() + QStringLiteral("/weg"), path()));
                                     }
#endif
                                 },
        {} });
    m_kit->check(forced);
    m_kit->loader->setReadHooks({});
    if (forced) {
        QCOMPARE(m_kit->grid1->rows(), 2);
        QCOMPARE(m_kit->grid1->textMatrix(1, column::Key), QString());
        QVERIFY(m_kit->loader->forcedReadPending());
    } else {
        QCOMPARE(keys(), QString("A B C"));
        QCOMPARE(m_kit->grid1->textMatrix(2, column::Mark), QString("N"));
    }
    QVERIFY(!m_kit->state.bezigmetladen);

    // The file comes back: the next check reads it (forced again after a forced read).
    if (replacement == u"a folder")
        QVERIFY(QDir().rmdir(path()));
    else if (replacement != u"nothing")
        QVERIFY(QFile::remove(path()));
    QVERIFY(QFile::rename(aside, path()));
    m_kit->check(false);
    QCOMPARE(keys(), QString("A B C D"));
    QCOMPARE(m_kit->grid1->textMatrix(0, 3), QString("Ruiter"));
    QVERIFY(!m_kit->loader->forcedReadPending());
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(true);
    QCOMPARE(platform::fileAttributes(path()).value_or(-1), int(platform::AttrNormal));
}

void TestFaults::failingFileOperationsNeverCostTheRingItsList_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<QString>("shown"); // the keys shown while the operation fails
    QTest::addColumn<bool>("markKept"); // the ring's mark of starter B is still there
    QTest::addColumn<bool>("mergedEachCheck"); // every check while the fault lasts reads the file again

    // The office has added D. While the fault lasts, the ring keeps what it has (or, on a forced read that
    // cannot open the file, an empty list, as the office programs show it); once it is gone, D shows.
    QTest::newRow("open fails, periodic: the ring's list stays")
        << int(Operation::Open) << false << "A B C" << true << false;
    QTest::newRow("open fails, forced: an empty list until it opens")
        << int(Operation::Open) << true << "" << false << false;
    QTest::newRow("read fails midway, periodic: the ring's list stays")
        << int(Operation::Read) << false << "A B C" << true << false;
    QTest::newRow("read fails midway, forced: the ring's list stays")
        << int(Operation::Read) << true << "A B C" << true << false;
    // A file whose attributes cannot be read is not listed (it might be hidden): the ring's list, greyed,
    // until the attributes come back.
    QTest::newRow("attributes unreadable, periodic: the ring's list greyed")
        << int(Operation::GetAttributes) << false << "A B C" << true << false;
    QTest::newRow("attributes unreadable, forced: the read waits for them")
        << int(Operation::GetAttributes) << true << "A B C" << true << false;
    // The read counts, but the attributes keep saying "written": every check reads again, and merges.
    QTest::newRow("attributes cannot be reset: read at every check, merged")
        << int(Operation::SetAttributes) << false << "A B C D" << false << true;
}

void TestFaults::failingFileOperationsNeverCostTheRingItsList()
{
    QFETCH(int, operation);
    QFETCH(bool, forced);
    QFETCH(QString, shown);
    QFETCH(bool, markKept);
    QFETCH(bool, mergedEachCheck);
    followAndMark({ "A", "B", "C" });
    publish({ "A", "B", "C", "D" });
    platform::faults::inject(Operation(operation), QStringLiteral("rst-0001"), QStringLiteral("ingestelde fout"));

    m_kit->check(forced);
    QCOMPARE(keys().trimmed(), shown);
    QCOMPARE(m_kit->grid1->textMatrix(2, column::Mark) == u"N", markKept);
    QCOMPARE(m_kit->view.listState, operation == int(Operation::GetAttributes) ? ListState::Stale : ListState::Shown);
    // A mark the ring makes while the fault lasts.
    m_kit->grid1->setTextMatrix(1, column::Mark, QStringLiteral("N"));
    for (int tick = 0; tick < 3; ++tick) {
        const int layouts = m_kit->view.adjustCalls;
        m_kit->check(false);
        QCOMPARE(keys().trimmed(), shown);
        QCOMPARE(m_kit->view.adjustCalls > layouts, mergedEachCheck || shown.isEmpty());
        if (!shown.isEmpty())
            QCOMPARE(m_kit->grid1->textMatrix(1, column::Mark), QString("N"));
    }

    platform::faults::clear();
    m_kit->check(false);
    QCOMPARE(keys(), QString("A B C D"));
    QCOMPARE(m_kit->grid1->textMatrix(0, 3), QString("Ruiter"));
    QVERIFY(!m_kit->loader->forcedReadPending());
    SKIP_UNDER_WINE_WHEN_ARCHIVE_IS_RESET(true);
    QCOMPARE(platform::fileAttributes(path()).value_or(-1), int(platform::AttrNormal));
    m_kit->check(false);
    QCOMPARE(keys(), QString("A B C D"));
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
