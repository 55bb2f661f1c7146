#pragma once

#include "base/RunStop.h"
#include "net/FetchScheduler.h"
#include "net/HttpOptions.h"
#include "net/PageCache.h"

#include <atomic>
#include <cstdint>

namespace veltrap {

// What the retrievers of one report run share: the options, the one fetch
// scheduler that carries every transfer, the run's page cache, the count of
// requests sent and the run's stop, which ends fetching. Safe to use from
// several threads.
class HttpSession {
public:
    // Without a stop of a run, fetching never ends early.
    explicit HttpSession(HttpOptions options, const RunStop& stop = NeverStopped());

    const HttpOptions& Options() const { return options_; }
    PageCache& Cache() { return cache_; }
    FetchScheduler& Scheduler() { return scheduler_; }

    void CountRequest() { requests_.fetch_add(1, std::memory_order_relaxed); }
    std::int64_t RequestsSent() const { return requests_.load(std::memory_order_relaxed); }

    const RunStop& Stop() const { return stop_; }
    // A stop that is never asked for.
    static const RunStop& NeverStopped();

private:
    HttpOptions options_;
    const RunStop& stop_;
    PageCache cache_;
    std::atomic<std::int64_t> requests_{0};
    // Declared last so that it stops first, while the rest is still there.
    FetchScheduler scheduler_;
};

}  // namespace veltrap
