#include "filesystemworker.h"

#include <chrono>
#include <thread>

namespace platform {

FileSystemWorker::FileSystemWorker()
    : m_core(std::make_shared<Core>())
{
    std::thread(&FileSystemWorker::loop, m_core).detach();
}

FileSystemWorker::~FileSystemWorker()
{
    // Not joined: the thread may be blocked in a call to a server that does not answer. It ends once the call
    // returns, and keeps what it needs alive until then.
    const std::lock_guard lock(m_core->mutex);
    m_core->quit = true;
    m_core->changed.notify_all();
}

bool FileSystemWorker::busy() const
{
    const std::lock_guard lock(m_core->mutex);
    return m_core->running || m_core->job;
}

bool FileSystemWorker::submit(std::function<std::function<void()>()> job)
{
    const std::lock_guard lock(m_core->mutex);
    if (m_core->running || m_core->job)
        return false;
    m_core->job = std::move(job);
    m_core->changed.notify_all();
    return true;
}

void FileSystemWorker::waitUntil(
    std::unique_lock<std::mutex>& lock, QDeadlineTimer deadline, const std::function<bool()>& ready)
{
    const qint64 remaining = deadline.remainingTime();
    if (remaining < 0)
        m_core->changed.wait(lock, ready); // QDeadlineTimer::Forever
    else
        m_core->changed.wait_for(lock, std::chrono::milliseconds(remaining), ready);
}

void FileSystemWorker::loop(std::shared_ptr<Core> core)
{
    std::unique_lock lock(core->mutex);
    for (;;) {
        core->changed.wait(lock, [&] { return core->quit || core->job; });
        if (core->quit)
            return;
        std::function<std::function<void()>()> job = std::move(core->job);
        core->job = nullptr;
        core->running = true;
        lock.unlock();
        std::function<void()> publish = job();
        lock.lock();
        publish();
        core->running = false;
        core->changed.notify_all();
    }
}

} // namespace platform
