#pragma once

#include "net/FetchScheduler.h"
#include "net/HttpOptions.h"
#include "net/PageCache.h"

#include <atomic>
#include <cstdint>

namespace veltrap {

// What the retrievers of one report run share: the options, the one fetch
// scheduler that carries every transfer, the run's page cache, the count of
// requests sent and the switches that end fetching. Safe to use from several
// threads.
class HttpSession {
public:
    explicit HttpSession(HttpOptions options);

    const HttpOptions& Options() const { return options_; }
    PageCache& Cache() { return cache_; }
    FetchScheduler& Scheduler() { return scheduler_; }

    void CountRequest() { requests_.fetch_add(1, std::memory_order_relaxed); }
    std::int64_t RequestsSent() const { return requests_.load(std::memory_order_relaxed); }

    // Refuses new fetches; those in flight go on to their end. Used when a run
    // is cancelled, so it ends as soon as its jobs have their answers.
    void StopNew();
    bool Stopped() const { return stopped_.load(); }
    // Also ends transfers in flight as soon as possible; used when the program
    // closes during a run or the user insists.
    void Abort();
    bool Aborted() const { return aborted_.load(); }

private:
    HttpOptions options_;
    PageCache cache_;
    std::atomic<std::int64_t> requests_{0};
    std::atomic<bool> stopped_{false};
    std::atomic<bool> aborted_{false};
    // Declared last so that it stops first, while the rest is still there.
    FetchScheduler scheduler_;
};

}  // namespace veltrap
