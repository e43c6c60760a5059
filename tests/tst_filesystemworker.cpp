// The worker that keeps the window's checks from waiting on a file system that does not answer: results in
// time, nothing past the deadline, no second call behind a stuck one, the late result still collected.
#include "filesystemworker.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

class TestFileSystemWorker : public QObject
{
    Q_OBJECT

private slots:
    void stuckCallNeverHoldsTheCaller();
    void destroyedWhileACallIsStuck();
};

void TestFileSystemWorker::stuckCallNeverHoldsTheCaller()
{
    platform::FileSystemWorker worker;
    QCOMPARE(worker.run<int>([] { return 7; }, QDeadlineTimer(5000)), std::optional<int>(7));

    // A call that waits for the server: the caller goes on at its deadline; the call goes on in the worker.
    auto release = std::make_shared<std::atomic<bool>>(false);
    platform::FileSystemWorker::Call<int> stuck = worker.start<int>([release] {
        while (!*release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return 42;
    });
    QVERIFY(stuck.valid());
    QElapsedTimer held;
    held.start();
    QCOMPARE(worker.wait(stuck, QDeadlineTimer(100)), std::nullopt);
    QVERIFY(held.elapsed() >= 90);
    QVERIFY(worker.busy());

    // Meanwhile a new call is refused at once, however long it may wait.
    held.restart();
    QCOMPARE(worker.run<int>([] { return 1; }, QDeadlineTimer(5000)), std::nullopt);
    QVERIFY2(held.elapsed() < 1000, qPrintable(QString::number(held.elapsed())));
    QVERIFY(!worker.done(stuck));

    // Once the server answers, the late result is there once, and the worker takes calls again.
    *release = true;
    QCOMPARE(worker.wait(stuck, QDeadlineTimer(5000)), std::optional<int>(42));
    QVERIFY(!stuck.valid());
    QCOMPARE(worker.run<int>([] { return 8; }, QDeadlineTimer(5000)), std::optional<int>(8));
    QVERIFY(!worker.busy());
}

void TestFileSystemWorker::destroyedWhileACallIsStuck()
{
    auto release = std::make_shared<std::atomic<bool>>(false);
    QElapsedTimer held;
    held.start();
    {
        platform::FileSystemWorker worker;
        worker.start<int>([release] {
            while (!*release)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return 0;
        });
    }
    // The owner (the window closing) does not wait for the server either.
    QVERIFY2(held.elapsed() < 1000, qPrintable(QString::number(held.elapsed())));
    *release = true;
}

QTEST_GUILESS_MAIN(TestFileSystemWorker)
#include "tst_filesystemworker.moc"
