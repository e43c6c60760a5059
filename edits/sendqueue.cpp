#include "sendqueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <chrono>
#include <thread>

SendQueue::SendQueue(QObject* parent)
    : QObject(parent)
    , m_core(std::make_shared<Core>())
{
    m_core->owner = this;
    m_hangTimer.setSingleShot(true);
    m_hangTimer.setInterval(defaultHangTime);
    connect(&m_hangTimer, &QTimer::timeout, this, &SendQueue::hangTimeOver);
    std::thread(&SendQueue::loop, m_core).detach();
}

SendQueue::~SendQueue()
{
    // Not joined: the thread may be blocked in a call to a server that does not answer. What is still queued
    // is dropped; what it tells later finds no owner. The station waited for its tasks at the close already.
    const std::lock_guard lock(m_core->mutex);
    m_core->owner = nullptr;
    m_core->quit = true;
    m_core->tasks.clear();
    m_core->changed.notify_all();
}

quint64 SendQueue::send(SendJob job, SentList list)
{
    Task task;
    task.kind = Kind::Send;
    task.send = std::move(job);
    task.list = std::move(list);
    return enqueue(std::move(task));
}

quint64 SendQueue::cleanUp(CleanUpJob job)
{
    Task task;
    task.kind = Kind::CleanUp;
    task.cleanUp = std::move(job);
    return enqueue(std::move(task));
}

std::optional<SendQueue::Kind> SendQueue::current() const
{
    if (m_pending.empty())
        return std::nullopt;
    return m_pending.front().second;
}

void SendQueue::setHangTime(int milliseconds)
{
    m_hangTimer.setInterval(milliseconds);
}

quint64 SendQueue::enqueue(Task task)
{
    task.id = m_nextId++;
    m_pending.emplace_back(task.id, task.kind);
    {
        const std::lock_guard lock(m_core->mutex);
        m_core->tasks.push_back(std::move(task));
        m_core->changed.notify_all();
    }
    if (m_pending.size() == 1)
        watchHead();
    return m_pending.back().first;
}

void SendQueue::watchHead()
{
    // The oldest task not told is the one under way (or about to be): its time starts now.
    m_hanging = false;
    if (m_pending.empty())
        m_hangTimer.stop();
    else
        m_hangTimer.start();
}

void SendQueue::hangTimeOver()
{
    if (m_pending.empty() || m_hanging)
        return;
    m_hanging = true;
    emit hanging(m_pending.front().first, m_pending.front().second);
}

void SendQueue::taskDone(const Done& done)
{
    if (m_pending.empty() || m_pending.front().first != done.id)
        return; // cannot happen: the thread ends tasks in order
    m_pending.pop_front();
    Done told = done;
    told.wasHanging = m_hanging;
    watchHead();
    emit finished(told);
}

bool SendQueue::waitUntilIdle(int milliseconds)
{
    bool idle = false;
    {
        std::unique_lock lock(m_core->mutex);
        idle = m_core->changed.wait_for(lock, std::chrono::milliseconds(qMax(0, milliseconds)),
            [&] { return m_core->tasks.empty() && !m_core->running; });
    }
    // The ends the thread told are waiting as events for this object: told now, in order.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return idle && m_pending.empty();
}

SendQueue::Done SendQueue::run(const Task& task)
{
    Done done;
    done.id = task.id;
    done.kind = task.kind;
    done.list = task.list;
    if (task.kind == Kind::Send) {
        done.job = task.send;
        done.sent = writeSend(task.send);
    } else {
        done.removed = wismutaties(task.cleanUp);
    }
    return done;
}

void SendQueue::loop(std::shared_ptr<Core> core)
{
    std::unique_lock lock(core->mutex);
    for (;;) {
        core->changed.wait(lock, [&] { return core->quit || !core->tasks.empty(); });
        if (core->quit)
            return;
        const Task task = std::move(core->tasks.front());
        core->tasks.pop_front();
        core->running = true;
        lock.unlock();
        Done done = run(task);
        lock.lock();
        core->running = false;
        // Under the mutex, so the owner cannot go between the look and the post; an event posted to it is
        // dropped with it if it goes before the event is handled.
        if (SendQueue* owner = core->owner)
            QMetaObject::invokeMethod(
                owner, [owner, done = std::move(done)] { owner->taskDone(done); }, Qt::QueuedConnection);
        core->changed.notify_all();
    }
}
