#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Runs a call that may block for long (a look at the SMB mount while its server is frozen) in a thread of its
// own and waits for it at most `milliseconds`. Nothing when it did not return in time: the thread is left to
// finish by itself (a stopped mount makes every waiting call fail), so the test never hangs on it.
template <typename Result> std::optional<Result> withinDeadline(int milliseconds, std::function<Result()> call)
{
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, call = std::move(call)] {
        Result result = call();
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->done.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return shared->result.has_value(); });
    return shared->result;
}
