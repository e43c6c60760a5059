// Tests of the queue that writes and removes the mutation files away from the window's thread: tasks reach the
// folder in the order they were handed over, also while the share holds every call, a task that does not end
// in time is told as hanging and told again when it ends, and the close waits no longer than it says.

#include "appstate.h"
#include "columns.h"
#include "faults.h"
#include "files.h"
#include "gridtable.h"
#include "sendqueue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

const QDateTime tenAM(QDate(2026, 12, 7), QTime(10, 0, 0));

// A class followed in a temporary folder "GEDEELD", with a list of one starter whose key is `key`.
struct Folder
{
    QTemporaryDir root;
    QString folder = root.path() + QStringLiteral("/GEDEELD/");
    AppState state;

    Folder()
    {
        QDir(root.path()).mkdir(QStringLiteral("GEDEELD"));
        state.setBestandspad(folder + QStringLiteral("baldovenaar rst-0001.dvz"));
        state.wnr = QStringLiteral("7");
        state.rid = QStringLiteral("12");
        state.klasbekend = true;
    }

    SendJob job(const QString& key, int second) const
    {
        GridTable grid;
        grid.setCols(column::Count);
        grid.addItem(u"sleutel");
        grid.addItem(key);
        grid.setFixedRows(1);
        return prepareSend(state, grid, tenAM.addSecs(second));
    }

    QStringList files() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

} // namespace

class TestSendQueue : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { faults::clear(); }
    void tasksReachTheFolderInTheirOrder_data();
    void tasksReachTheFolderInTheirOrder();
    void aTaskThatDoesNotEndIsToldAsHangingAndAgainWhenItEnds();
};

void TestSendQueue::tasksReachTheFolderInTheirOrder_data()
{
    // Tasks as letters: a send of a list with that key ("A", "B"), one second after the one before, or "-" for
    // the clean-up of the class. What is left in the folder shows the order they were done in.
    QTest::addColumn<QStringList>("tasks");
    QTest::addColumn<QStringList>("remaining"); // the key of the s copy left, or "" when none is left

    QTest::newRow("two sends: the newer stays") << QStringList { "A", "B" } << QStringList { "B" };
    QTest::newRow("three sends") << QStringList { "A", "B", "C" } << QStringList { "C" };
    QTest::newRow("a send, then the clean-up") << QStringList { "A", "-" } << QStringList();
    QTest::newRow("the clean-up, then a send") << QStringList { "-", "A" } << QStringList { "A" };
    QTest::newRow("a send, the clean-up, a send") << QStringList { "A", "-", "B" } << QStringList { "B" };
}

void TestSendQueue::tasksReachTheFolderInTheirOrder()
{
    QFETCH(QStringList, tasks);
    QFETCH(QStringList, remaining);
    Folder folder;
    SendQueue queue;
    QList<quint64> told;
    connect(&queue, &SendQueue::finished, &queue, [&](const SendQueue::Done& done) { told << done.id; });

    // The share answers nothing until the test lets it: every task is handed over while the first one hangs.
    faults::injectHold(faults::Operation::Write, folder.folder);
    faults::injectHold(faults::Operation::List, folder.folder);
    QList<quint64> ids;
    QElapsedTimer handing;
    handing.start();
    for (int i = 0; i < tasks.size(); ++i) {
        if (tasks[i] == u"-")
            ids << queue.cleanUp(CleanUpJob { folder.state.bestandspad(), folder.folder, folder.state.rid });
        else
            ids << queue.send(folder.job(tasks[i], i));
    }
    QVERIFY2(handing.elapsed() < 100, "handing a task over must not wait for the share");
    QTRY_COMPARE(faults::heldCalls(), 1);
    QCOMPARE(queue.pending(), tasks.size());
    QVERIFY(!queue.waitUntilIdle(20));

    faults::releaseHolds();
    QVERIFY(queue.waitUntilIdle(5000));
    QCOMPARE(told, ids);
    QStringList keys;
    for (const QString& name : folder.files()) {
        QVERIFY2(name.endsWith(u"-12-baldovenaar-s.mut") || name.endsWith(u"-12-baldovenaar-h.mut"), qPrintable(name));
        if (name.endsWith(u"s.mut"))
            keys << QString::fromLatin1(
                testsupport::readFile(folder.folder + name).split('\n').value(2).mid(6).trimmed());
    }
    QCOMPARE(keys, remaining);
}

void TestSendQueue::aTaskThatDoesNotEndIsToldAsHangingAndAgainWhenItEnds()
{
    Folder folder;
    SendQueue queue;
    queue.setHangTime(50);
    QSignalSpy hanging(&queue, &SendQueue::hanging);
    QList<bool> written;
    connect(&queue, &SendQueue::finished, &queue, [&](const SendQueue::Done& done) { written << done.sent.written; });

    faults::injectHold(faults::Operation::Write, folder.folder);
    queue.send(folder.job(QStringLiteral("A"), 0));
    QTRY_COMPARE(hanging.size(), 1);
    QVERIFY(queue.isHanging());
    QTest::qWait(120);
    QCOMPARE(hanging.size(), 1); // told once

    // The close waits no longer than it says.
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!queue.waitUntilIdle(100));
    QVERIFY(waited.elapsed() < 1000);

    // The share answers again: the send ends, is told, and the next one is watched anew.
    faults::releaseHolds();
    QTRY_COMPARE(written, QList<bool> { true });
    QVERIFY(!queue.isHanging());
    QVERIFY(queue.isIdle());
    faults::inject(faults::Operation::Write, folder.folder, QStringLiteral("No space left on device"));
    queue.send(folder.job(QStringLiteral("B"), 1));
    QVERIFY(queue.waitUntilIdle(5000));
    QCOMPARE(written, (QList<bool> { true, false }));
    QCOMPARE(hanging.size(), 1);
}

QTEST_GUILESS_MAIN(TestSendQueue)
#include "tst_sendqueue.moc"
