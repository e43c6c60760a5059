// The soak: a show day in fast motion. The office edits the followed class every 200 ms with random changes,
// by rename and in place, and takes the ring's sends in; the station looks at the file every 100 ms; a driver
// moves lines, swaps them, marks starters and sends, with real mouse events on the real window; and a reader
// of the shared folder, in a thread of its own, reads every mutation file it finds, as the office programs
// may at any moment. For as long as it runs:
// - the station's snapshot of the file (grid(2)) is, after every look, a list the office published whole,
//   and the ring's list (grid(1)) holds the same lines in the ring's order;
// - every mutation file the reader sees is a whole one of this class;
// - nothing crashes, and the resident memory at the end is within 5% of what it was after the first minute
//   (a third of the run when it is shorter).
//
// The office is kantoor's own code (`kantoor edit` through its command line, and `kantoor serve`'s taking
// in), run in a thread of this test, so that every list it publishes is recorded before the station can
// have seen it. BALDOVENAAR_SOAK_SECONDS sets the length (CTest's short run: 45 s; scripts/soak: minutes).
// The figures are printed at the end.
#include "clock.h"
#include "columns.h"
#include "filereading.h"
#include "flexgrid.h"
#include "folderlisting.h"
#include "gridtable.h"
#include "holdbutton.h"
#include "kantoorcommand.h"
#include "mutationfile.h"
#include "officeserver.h"
#include "publishedorder.h"
#include "runorderfile.h"
#include "windowfixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

#ifdef Q_OS_LINUX
#include <malloc.h>
#include <unistd.h>
#endif

namespace {

constexpr int officeInterval = 200; // ms between two office edits
constexpr int checkInterval = 100; // the station's look at the file, a test-only interval
constexpr int settleTime = 100; // shorter than the office's interval, or the station would never read
constexpr int driverInterval = 150; // ms between two of the official's actions
const QString classId = QStringLiteral("0007");

// A list as the station holds it in grid(2): every line below the header, all eleven columns.
QByteArray listDigest(const GridTable& grid)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int r = 1; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            hash.addData(grid.textMatrix(r, c).toUtf8());
            hash.addData(QByteArrayView("\t", 1));
        }
        hash.addData(QByteArrayView("\n", 1));
    }
    return hash.result();
}

// The same of a running-order file, read as the station reads it.
QByteArray listDigest(QByteArrayView bytes)
{
    GridTable grid;
    grid.setCols(column::Count);
    for (const QString& rij : parseRunOrderBytes(bytes).rijen)
        grid.addItem(rij);
    if (grid.rows() <= 1)
        grid.setRows(2);
    return listDigest(grid);
}

QStringList sortedKeys(const GridTable& grid)
{
    QStringList keys;
    for (int r = 1; r < grid.rows(); ++r)
        keys << grid.textMatrix(r, column::Key);
    keys.sort();
    return keys;
}

qint64 residentBytes()
{
#ifdef Q_OS_LINUX
    // Freed memory handed back first, so that the figure is what is in use, not what malloc keeps at hand.
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
#else
    return -1;
#endif
}

// The office, in a thread: kantoor's edits and its taking in of the ring's sends, each publication
// recorded (by digest) before the next one is made.
class Office
{
public:
    explicit Office(QString folder)
        : m_folder(std::move(folder))
    {
    }

    void start()
    {
        m_thread = std::thread([this] { loop(); });
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    // Whether the station may show this list: the office published it. A list the office is publishing at
    // this moment is recorded once its publication is done, so a miss waits for that first.
    bool published(const QByteArray& digest)
    {
        {
            const QMutexLocker lock(&m_recordMutex);
            if (m_published.contains(digest))
                return true;
        }
        const QMutexLocker publishing(&m_publishMutex);
        const QMutexLocker lock(&m_recordMutex);
        return m_published.contains(digest);
    }

    // Publishes the class first (before the station follows it).
    void publishFirst() { run(QStringList { "publish", "--class", classId }); }

    std::atomic<int> edits { 0 };
    std::atomic<int> inPlace { 0 };
    std::atomic<int> refusedEdits { 0 };
    std::atomic<int> takenIn { 0 };
    int publications() const
    {
        const QMutexLocker lock(&m_recordMutex);
        return int(m_published.size());
    }

private:
    int run(const QStringList& command)
    {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        const platform::SystemClock clock;
        const QMutexLocker publishing(&m_publishMutex);
        const int status = kantoor::runKantoor(
            QStringList { "kantoor" } + command + QStringList { "--folder", m_folder }, out, err, clock);
        record();
        return status;
    }

    void record()
    {
        const platform::FileRead read = platform::readFileStart(classPath(), 64 * 1024 * 1024);
        if (!read.ok())
            return;
        const QByteArray digest = listDigest(read.bytes);
        const QMutexLocker lock(&m_recordMutex);
        m_published.insert(digest);
    }

    QString classPath() const { return QDir(m_folder).filePath(QStringLiteral("baldovenaar rst-%1.dvz").arg(classId)); }

    void loop()
    {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        kantoor::OfficeServer mainProgram(m_folder, u's', out, err);
        kantoor::OfficeServer satellite(m_folder, u'h', out, err);
        QElapsedTimer since;
        since.start();
        for (int round = 0; !m_stop; ++round) {
            edit();
            // The office takes the ring's sends in every other round, its two programs one after the other.
            if (round % 2 == 1) {
                for (kantoor::OfficeServer* server : { &mainProgram, &satellite }) {
                    const QMutexLocker publishing(&m_publishMutex);
                    takenIn += server->takeIn();
                    record();
                }
                outText.clear();
                errText.clear();
            }
            const qint64 next = qint64(round + 1) * officeInterval;
            while (!m_stop && since.elapsed() < next)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // One random change to the class as it stands, as the office makes them between two publications.
    void edit()
    {
        const platform::FileRead read = platform::readFileStart(classPath(), 64 * 1024 * 1024);
        if (!read.ok())
            return;
        const kantoor::PublishedOrder order = kantoor::publishedOrderFromBytes(read.bytes);
        QStringList starters;
        for (const QStringList& line : order.lines) {
            if (!isPauseKey(line.value(column::Key)))
                starters << line.value(column::Key);
        }
        if (starters.isEmpty())
            return;
        QRandomGenerator& random = m_random;
        const QString key = starters.at(random.bounded(int(starters.size())));
        QStringList command { "edit", "--class", classId };
        const int what = random.bounded(100);
        if (what < 35) {
            command << "--set" << key + QStringLiteral(":%1=%2").arg(3 + random.bounded(3)).arg(random.bounded(1000));
        } else if (what < 50 && starters.size() > 20) {
            command << "--remove" << key;
        } else if (what < 65 && starters.size() < 60) {
            const QString fresh = QString::number(5000 + ++m_newKeys);
            command << "--insert-after" << key << "--starter" << fresh + QStringLiteral(";;Nieuwe ruiter ") + fresh;
        } else if (what < 80) {
            QStringList shuffled = starters;
            for (int i = 0; i < 3; ++i)
                shuffled.swapItemsAt(random.bounded(int(shuffled.size())), random.bounded(int(shuffled.size())));
            command << "--order" << shuffled.join(u',');
        } else if (what < 90) {
            command
                << "--begintijd"
                << QStringLiteral("%1:%2").arg(8 + random.bounded(10)).arg(random.bounded(60), 2, 10, QLatin1Char('0'));
        } else {
            command << "--set" << key + QStringLiteral(":9=") + (random.bounded(2) ? QStringLiteral("N") : QString());
        }
        if (random.bounded(2)) {
            command << "--in-place";
            ++inPlace;
        }
        if (run(command) == 0)
            ++edits;
        else
            ++refusedEdits;
    }

    QString m_folder;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    QMutex m_publishMutex; // held while a publication is made and recorded
    mutable QMutex m_recordMutex;
    QSet<QByteArray> m_published;
    QRandomGenerator m_random { 20261207 };
    int m_newKeys = 0;
};

// A reader of the shared folder, as the office programs read it at any moment: every mutation file it finds
// (hidden ones included, never the ".tmp" copies) must be whole.
class FolderReader
{
public:
    FolderReader(QString folder, QString rid)
        : m_folder(std::move(folder))
        , m_rid(std::move(rid))
    {
    }
    void start()
    {
        m_thread = std::thread([this] { run(); });
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    std::atomic<int> read { 0 };
    QStringList broken() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_broken;
    }

private:
    void run()
    {
        const QString prefix = m_folder + u'/';
        while (!m_stop) {
            for (const QString& name :
                platform::listFolder(m_folder, QStringLiteral("*.mut"), platform::Listing::IncludeHidden)) {
                const platform::FileRead file = platform::readFileStart(prefix + name, kantoor::maxMutationBytes + 1);
                if (!file.opened)
                    continue; // gone between the listing and the open: taken in, or pruned
                const kantoor::MutationRead mutation = kantoor::parseMutation(file.bytes);
                ++read;
                if (!file.ok() || !mutation.mutation || mutation.mutation->rid != m_rid) {
                    const QMutexLocker lock(&m_mutex);
                    m_broken << name + QStringLiteral(": ") + (file.ok() ? mutation.problem : file.error);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    }

    QString m_folder;
    QString m_rid;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    mutable QMutex m_mutex;
    QStringList m_broken;
};

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void aShowDayInFastMotion();

private:
    void drive();
    void afterALook();
    Station& station() { return m_kit->station(); }

    std::unique_ptr<testsupport::WindowFixture> m_kit;
    platform::SystemClock m_systemClock;
    std::unique_ptr<Office> m_office;
    QRandomGenerator m_random { 7122026 };
    HoldButton* m_heldButton = nullptr;
    int m_checks = 0;
    int m_reads = 0;
    int m_replaced = 0;
    int m_sends = 0;
    int m_moves = 0;
    int m_marks = 0;
    int m_swaps = 0;
    QByteArray m_lastShown;
    QStringList m_failures;
};

void TestSoak::drive()
{
    // A move button held since the last action is let go first.
    if (m_heldButton) {
        QTest::mouseRelease(m_heldButton, Qt::LeftButton, {}, m_heldButton->rect().center());
        m_heldButton = nullptr;
        return;
    }
    const GridTable& grid = station().working();
    if (!m_kit->grid()->isVisible() || grid.rows() < 3)
        return;
    const int rows = grid.rows() - 1;
    const int what = m_random.bounded(100);
    if (what < 40) {
        m_kit->clickRow(1 + m_random.bounded(rows));
        HoldButton* button = m_kit->moveButton(regels::Richting(m_random.bounded(2)));
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
        if (m_random.bounded(4) == 0)
            m_heldButton = button; // held on, repeating, until the next action
        else
            QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
        ++m_moves;
    } else if (what < 60) {
        m_kit->clickRow(1 + m_random.bounded(rows));
        QTest::mouseClick(m_kit->button(knoppen::NietGestart), Qt::LeftButton);
        ++m_marks;
    } else if (what < 70) {
        m_kit->clickRow(1 + m_random.bounded(rows));
        m_kit->clickRow(1 + m_random.bounded(rows), Qt::ControlModifier);
        QTest::mouseClick(m_kit->button(knoppen::Wissel), Qt::LeftButton);
        ++m_swaps;
    } else if (what < 85) {
        if (m_kit->button(knoppen::Verzenden)->isEnabled()) {
            QTest::mouseClick(m_kit->button(knoppen::Verzenden), Qt::LeftButton);
            ++m_sends;
        }
    }
    // The ring only moves lines: its list holds the snapshot's lines.
    if (sortedKeys(station().working()) != sortedKeys(station().snapshot()))
        m_failures << QStringLiteral("after an action the ring's lines differ from the file's");
}

void TestSoak::afterALook()
{
    ++m_checks;
    const QByteArray shown = listDigest(station().snapshot());
    if (shown != m_lastShown) {
        m_lastShown = shown;
        ++m_replaced;
        if (!m_office->published(shown))
            m_failures << QStringLiteral("look %1 shows a list the office never published").arg(m_checks);
    }
    if (sortedKeys(station().working()) != sortedKeys(station().snapshot()))
        m_failures << QStringLiteral("look %1: the ring's lines differ from the file's").arg(m_checks);
}

void TestSoak::aShowDayInFastMotion()
{
    const int seconds = qEnvironmentVariableIntValue("BALDOVENAAR_SOAK_SECONDS") > 0
        ? qEnvironmentVariableIntValue("BALDOVENAAR_SOAK_SECONDS")
        : 45;
    const int warmUp = std::min(60, seconds / 3);

    m_kit = std::make_unique<testsupport::WindowFixture>();
    QVERIFY(m_kit->isValid());
    const QString shared = m_kit->sharedFolder();

    m_office = std::make_unique<Office>(shared);
    m_office->publishFirst();
    // The office dates its files by the real clock, and so does the station here.
    m_kit->stationClock = &m_systemClock;
    m_kit->answer = m_kit->classPath(classId);
    FrmBaldovenaar& window = m_kit->makeWindow(true, false, settleTime);
    station().setCheckInterval(checkInterval);
    window.kiesbestand();
    QTRY_VERIFY(station().state().klasbekend);
    QCOMPARE(station().state().rid, classId);
    m_lastShown = listDigest(station().snapshot());
    QVERIFY(m_office->published(m_lastShown));

    station().setReadHooks({ [this] { ++m_reads; }, {} });
    // After every look, by the re-read timer or the look again once a changed file may have settled.
    connect(station().timer1(), &QTimer::timeout, this, &TestSoak::afterALook);
    connect(station().settleTimer(), &QTimer::timeout, this, &TestSoak::afterALook);
    QTimer driver;
    driver.setInterval(driverInterval);
    connect(&driver, &QTimer::timeout, this, &TestSoak::drive);

    FolderReader reader(shared, classId);
    m_office->start();
    reader.start();
    driver.start();
    QElapsedTimer running;
    running.start();
    qint64 memoryAfterWarmUp = -1;
    while (running.elapsed() < qint64(seconds) * 1000 && m_failures.isEmpty()) {
        QTest::qWait(50);
        if (memoryAfterWarmUp < 0 && running.elapsed() >= qint64(warmUp) * 1000)
            memoryAfterWarmUp = residentBytes();
    }
    driver.stop();
    if (m_heldButton)
        QTest::mouseRelease(m_heldButton, Qt::LeftButton, {}, m_heldButton->rect().center());
    m_office->stop();
    reader.stop();
    const qint64 memoryAtEnd = residentBytes();
    window.close();

    std::printf("soak: %d s; office: %d edits (%d in place, %d refused), %d sends taken in, %d lists published\n"
                "soak: station: %d looks, %d reads, %d lists shown; ring: %d moves, %d marks, %d swaps, %d sends\n"
                "soak: folder reader: %d mutation files read whole, %d not\n"
                "soak: resident memory %.1f MB after %d s, %.1f MB at the end (%+.1f%%)\n",
        int(running.elapsed() / 1000), m_office->edits.load(), m_office->inPlace.load(), m_office->refusedEdits.load(),
        m_office->takenIn.load(), m_office->publications(), m_checks, m_reads, m_replaced, m_moves, m_marks, m_swaps,
        m_sends, reader.read.load(), int(reader.broken().size()), double(memoryAfterWarmUp) / 1e6, warmUp,
        double(memoryAtEnd) / 1e6,
        memoryAfterWarmUp > 0 ? 100.0 * double(memoryAtEnd - memoryAfterWarmUp) / double(memoryAfterWarmUp) : 0.0);
    std::fflush(stdout);

    QVERIFY2(m_failures.isEmpty(), qPrintable(m_failures.join(u'\n')));
    QVERIFY2(reader.broken().isEmpty(), qPrintable(reader.broken().join(u'\n')));
    // The swap's refusals are the official's doing; any other message (a send that failed) is not.
    QStringList messages = m_kit->messages;
    messages.removeAll(QStringLiteral("Pauzeregels kunnen niet verplaatst worden."));
    messages.removeAll(QStringLiteral("Selecteer 2 rijen"));
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    // The run did what it is for: the office changed the class, the station took changes in, the ring sent.
    QVERIFY(m_office->edits > seconds);
    QVERIFY(m_replaced > seconds / 10);
    QVERIFY(m_sends > 0 && reader.read > 0 && m_office->takenIn > 0);
    QVERIFY(memoryAfterWarmUp > 0);
    QVERIFY2(double(memoryAtEnd) <= 1.05 * double(memoryAfterWarmUp), "resident memory grew by more than 5%");
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
