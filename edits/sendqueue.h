#pragma once

#include "mutatiebestand.h"
#include "sendreceipt.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// The station's writing and removing in the shared folder (the sends and the clean-ups of a class's mutation
// files), done in a thread of its own so that the window never waits for the share: a share whose server is
// slow or gone holds a call for seconds or a minute. The tasks are done one at a time, in the order they were
// handed over, so a send never reaches the share after a newer one, and a clean-up never overtakes a send
// handed over before it (nor a send a clean-up). What each task needs is taken on the window's thread when it
// is handed over (SendJob, CleanUpJob); nothing here reads the station's state or the ring's list.
//
// Each task's end is told on the thread that owns the queue, in order (finished()). A task that has not ended
// after the hang time is told once as hanging (hanging()); it still ends later, and is told then as any other.
// A thread blocked in the system outlives the queue when it must: it ends once its call returns, and nothing it
// tells reaches a queue that is gone.
class SendQueue : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Send, CleanUp };
    struct Done
    {
        quint64 id = 0;
        Kind kind = Kind::Send;
        SendJob job; // the send's (empty for a clean-up)
        SentList list; // what the send carries, for the watch on it once it is written
        SendResult sent; // for a send
        QStringList removed; // for a clean-up: the names it removed
        bool wasHanging = false; // the task was told as hanging before it ended
    };

    explicit SendQueue(QObject* parent = nullptr);
    ~SendQueue() override;

    // Hands a task over; it is done after every task handed over before it. Returns its number (from 1 up).
    quint64 send(SendJob job, SentList list = SentList());
    quint64 cleanUp(CleanUpJob job);

    // Tasks handed over whose end has not been told yet.
    int pending() const { return int(m_pending.size()); }
    bool isIdle() const { return m_pending.empty(); }
    // The task under way has not ended within the hang time.
    bool isHanging() const { return m_hanging; }
    // The kind of the oldest task not told yet.
    std::optional<Kind> current() const;

    // Waits, without an event loop, at most `milliseconds` until every task handed over has ended, then tells
    // the ends (finished()) before it returns. True when nothing is left. For the close, which must not wait
    // for a share that does not answer, and for tests.
    bool waitUntilIdle(int milliseconds);

    // How long a task may take before it is told as hanging.
    static constexpr int defaultHangTime = 5000;
    void setHangTime(int milliseconds);
    int hangTime() const { return m_hangTimer.interval(); }

signals:
    // A task ended (told in the order the tasks were handed over).
    void finished(const SendQueue::Done& done);
    // The task under way has not ended within the hang time; `kind` is what it is.
    void hanging(quint64 id, SendQueue::Kind kind);

private:
    struct Task
    {
        quint64 id = 0;
        Kind kind = Kind::Send;
        SendJob send;
        SentList list;
        CleanUpJob cleanUp;
    };
    struct Core
    {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<Task> tasks;
        bool running = false;
        bool quit = false;
        SendQueue* owner = nullptr; // cleared by the queue's destructor, under the mutex
    };

    quint64 enqueue(Task task);
    void taskDone(const Done& done);
    void watchHead();
    void hangTimeOver();
    static void loop(std::shared_ptr<Core> core);
    static Done run(const Task& task);

    std::shared_ptr<Core> m_core;
    std::deque<std::pair<quint64, Kind>> m_pending;
    quint64 m_nextId = 1;
    bool m_hanging = false;
    QTimer m_hangTimer;
};
Q_DECLARE_METATYPE(SendQueue::Done)
