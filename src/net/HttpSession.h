#pragma once

#include "net/HttpOptions.h"
#include "net/PageCache.h"

#include <atomic>
#include <cstdint>

namespace veltrap {

// What the retrievers of one report run share: the options, the run's page
// cache, the count of requests sent and an abort switch. Safe to use from
// several threads.
class HttpSession {
public:
    explicit HttpSession(HttpOptions options);

    const HttpOptions& Options() const { return options_; }
    PageCache& Cache() { return cache_; }

    void CountRequest() { requests_.fetch_add(1, std::memory_order_relaxed); }
    std::int64_t RequestsSent() const { return requests_.load(std::memory_order_relaxed); }

    // Ends transfers in flight as soon as possible and refuses new ones; used
    // when the program closes during a run.
    void Abort() { aborted_.store(true); }
    bool Aborted() const { return aborted_.load(); }

private:
    HttpOptions options_;
    PageCache cache_;
    std::atomic<std::int64_t> requests_{0};
    std::atomic<bool> aborted_{false};
};

}  // namespace veltrap
