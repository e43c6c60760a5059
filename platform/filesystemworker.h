#pragma once

#include <QDeadlineTimer>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace platform {

// Runs file-system calls in a thread of its own, one at a time, while the caller waits for each at most until a
// deadline. On a network share a call may wait for the server for a minute or more (the SMB client's own
// timeouts) when the network drops its packets; past the deadline the caller goes on without the answer, and
// the window never waits longer than its check allows.
//
// A call that ran out of time goes on in the worker until the file system lets it return; meanwhile every new
// call is refused at once (no thread per call piles up behind a dead server, and no call waits behind it), and
// the late result is still there to be collected. The worker's thread never holds on to its owner: it may
// outlive it, blocked in the system, and ends once the call returns.
class FileSystemWorker
{
public:
    FileSystemWorker();
    ~FileSystemWorker();
    FileSystemWorker(const FileSystemWorker&) = delete;
    FileSystemWorker& operator=(const FileSystemWorker&) = delete;

    // A call handed to the worker; invalid when the worker refused it (busy with another).
    template <typename Result> class Call
    {
    public:
        bool valid() const { return m_slot != nullptr; }

    private:
        friend class FileSystemWorker;
        std::shared_ptr<std::optional<Result>> m_slot;
    };

    // Hands `call` to the worker's thread; refused while an earlier call is still under way. The call must not
    // refer to anything its caller may destroy meanwhile: it may run long after the caller stopped waiting.
    template <typename Result> Call<Result> start(std::function<Result()> call)
    {
        Call<Result> handle;
        auto slot = std::make_shared<std::optional<Result>>();
        const bool taken = submit([slot, call = std::move(call)]() -> std::function<void()> {
            auto result = std::make_shared<Result>(call());
            return [slot, result] { *slot = std::move(*result); };
        });
        if (taken)
            handle.m_slot = std::move(slot);
        return handle;
    }

    // The call's result, waiting for it until `deadline`; nothing when it has not returned by then (or was
    // refused). A result is handed out once.
    template <typename Result> std::optional<Result> wait(Call<Result>& call, QDeadlineTimer deadline)
    {
        if (!call.valid())
            return std::nullopt;
        std::unique_lock lock(m_core->mutex);
        waitUntil(lock, deadline, [&] { return call.m_slot->has_value(); });
        if (!call.m_slot->has_value())
            return std::nullopt;
        std::optional<Result> result = std::move(*call.m_slot);
        call.m_slot.reset();
        return result;
    }

    // Whether the call has returned (its result can be collected without waiting).
    template <typename Result> bool done(const Call<Result>& call) const
    {
        if (!call.valid())
            return false;
        const std::lock_guard lock(m_core->mutex);
        return call.m_slot->has_value();
    }

    // start() and wait() in one.
    template <typename Result> std::optional<Result> run(std::function<Result()> call, QDeadlineTimer deadline)
    {
        Call<Result> handle = start(std::move(call));
        return wait(handle, deadline);
    }

    // Whether a call is under way (so that a new one would be refused).
    bool busy() const;

private:
    struct Core
    {
        std::mutex mutex;
        std::condition_variable changed;
        // The call to run; it returns what publishes its result, run under the mutex.
        std::function<std::function<void()>()> job;
        bool running = false;
        bool quit = false;
    };

    bool submit(std::function<std::function<void()>()> job);
    void waitUntil(std::unique_lock<std::mutex>& lock, QDeadlineTimer deadline, const std::function<bool()>& ready);
    static void loop(std::shared_ptr<Core> core);

    std::shared_ptr<Core> m_core;
};

} // namespace platform
