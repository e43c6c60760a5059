#include "faults.h"

#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace platform::faults {

namespace {

struct Injection
{
    Operation operation;
    QString pathPart;
    QString reason;
    int delay = 0; // a wait before the operation, not a failure
    bool hold = false; // a wait until the holds are released
};

// Process-wide on purpose: a fault must reach every layer that touches the file, whichever object
// calls it. Only tests write it.
struct Injections
{
    std::atomic<bool> any { false };
    QMutex mutex;
    QWaitCondition released;
    std::vector<Injection> list;
    int held = 0; // calls waiting in a hold
};

Injections& injections()
{
    static Injections instance;
    return instance;
}

} // namespace

void inject(Operation operation, const QString& pathPart, const QString& reason)
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    all.list.push_back(Injection { operation, pathPart, reason });
    all.any.store(true, std::memory_order_release);
}

void injectDelay(Operation operation, const QString& pathPart, int milliseconds)
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    all.list.push_back(Injection { operation, pathPart, QString(), milliseconds });
    all.any.store(true, std::memory_order_release);
}

void injectHold(Operation operation, const QString& pathPart)
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    Injection injection { operation, pathPart, QString() };
    injection.hold = true;
    all.list.push_back(injection);
    all.any.store(true, std::memory_order_release);
}

void releaseHolds()
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    std::erase_if(all.list, [](const Injection& injection) { return injection.hold; });
    all.released.wakeAll();
}

int heldCalls()
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    return all.held;
}

void clear()
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    all.list.clear();
    all.any.store(false, std::memory_order_release);
    all.released.wakeAll();
}

std::optional<QString> check(Operation operation, const QString& path)
{
    Injections& all = injections();
    if (!all.any.load(std::memory_order_relaxed))
        return std::nullopt;
    int delay = 0;
    {
        const QMutexLocker lock(&all.mutex);
        for (const Injection& injection : all.list) {
            if (injection.operation == operation && injection.delay > 0 && path.contains(injection.pathPart))
                delay = qMax(delay, injection.delay);
        }
    }
    // Outside the lock: other threads' operations go on meanwhile.
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    QMutexLocker lock(&all.mutex);
    const auto holds = [&] {
        return std::any_of(all.list.cbegin(), all.list.cend(), [&](const Injection& injection) {
            return injection.hold && injection.operation == operation && path.contains(injection.pathPart);
        });
    };
    if (holds()) {
        ++all.held;
        while (holds())
            all.released.wait(&all.mutex);
        --all.held;
    }
    for (const Injection& injection : all.list) {
        if (injection.operation == operation && injection.delay == 0 && !injection.hold
            && path.contains(injection.pathPart))
            return injection.reason.isEmpty() ? QStringLiteral("ingestelde fout") : injection.reason;
    }
    return std::nullopt;
}

} // namespace platform::faults
