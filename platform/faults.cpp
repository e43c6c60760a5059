#include "faults.h"

#include <QMutex>
#include <QMutexLocker>
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
};

// Process-wide on purpose: a fault must reach every layer that touches the file, whichever object
// calls it. Only tests write it.
struct Injections
{
    std::atomic<bool> any { false };
    QMutex mutex;
    std::vector<Injection> list;
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

void clear()
{
    Injections& all = injections();
    const QMutexLocker lock(&all.mutex);
    all.list.clear();
    all.any.store(false, std::memory_order_release);
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
    const QMutexLocker lock(&all.mutex);
    for (const Injection& injection : all.list) {
        if (injection.operation == operation && injection.delay == 0 && path.contains(injection.pathPart))
            return injection.reason.isEmpty() ? QStringLiteral("ingestelde fout") : injection.reason;
    }
    return std::nullopt;
}

} // namespace platform::faults
