#pragma once

#include "base/RunStop.h"
#include "net/HttpOptions.h"

#include <curl/curl.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace veltrap {

// Carries every transfer of one run on one libcurl multi handle, so that
// connections, DNS answers and TLS sessions are shared and kept alive. Callers
// on any thread hand in a prepared easy handle and wait for its end; one
// thread of the scheduler's own drives them all. Transfers start in the order
// they were handed in, as the limits allow: at most perHostConnections to one
// host at once, starts to one host at least perHostDelayMs apart, and no start
// before a time the host asked to be left alone until (Retry-After). It
// follows the run's stop: once fetches are refused, transfers still waiting
// end unstarted, and an abort ends those in flight too.
//
// The per-host limit is kept here rather than by libcurl's own
// CURLMOPT_MAX_HOST_CONNECTIONS, because libcurl counts a host by the address
// it connects to: with connect_to set every host of the web counts as one.
class FetchScheduler {
public:
    using Clock = std::chrono::steady_clock;

    struct Transfer {
        CURL* easy = nullptr;  // prepared by the caller, not yet added anywhere
        std::string host;      // "host:port", the key of the per-host limits
        // Moved on by the caller's write and header callbacks, which run on the
        // scheduler's thread; the scheduler sets it when the transfer starts and
        // gives up a transfer that has not moved it for stallTimeoutS.
        Clock::time_point* lastByte = nullptr;
    };

    FetchScheduler(const HttpOptions& options, const RunStop& stop);
    ~FetchScheduler();
    FetchScheduler(const FetchScheduler&) = delete;
    FetchScheduler& operator=(const FetchScheduler&) = delete;

    // Runs the transfer to its end and returns libcurl's result for it. A
    // transfer that stalls ends with CURLE_OPERATION_TIMEDOUT; one that the
    // stop refuses or aborts with CURLE_ABORTED_BY_CALLBACK.
    CURLcode Perform(const Transfer& transfer);
    // No transfer to host starts before until (a Retry-After).
    void HoldHost(const std::string& host, Clock::time_point until);
    // Takes one of host's connections for work done outside the scheduler, such
    // as a browser loading a page, waiting while the host has none free. Answers
    // false, taking nothing, once fetches are refused.
    bool ClaimHost(const std::string& host);
    // Gives back a connection ClaimHost took.
    void ReleaseHost(const std::string& host);

    // The share handle the easy handles join, so TLS sessions are reused.
    CURLSH* Share() const { return share_.get(); }

private:
    struct Job;
    struct HostState {
        int active = 0;
        Clock::time_point notBefore{};
        Clock::time_point lastStart{};
        bool started = false;
    };

    void Loop();
    // The stop has refused fetches or aborted: transfers still waiting end,
    // and the loop wakes to see to those in flight.
    void Stopped();
    void StartReady(Clock::time_point now);
    // Hands back the transfers that ended; answers whether there were any.
    bool FinishDone();
    void CheckStalls(Clock::time_point now);
    void Complete(Job& job, CURLcode code);
    // Called under the lock: wakes the callers of ClaimHost, if any wait.
    void TellClaimers();
    int PollTimeoutMs(Clock::time_point now);

    static void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* self);
    static void UnlockShare(CURL*, curl_lock_data data, void* self);

    const RunStop& stop_;
    const int perHostConnections_;
    const std::chrono::milliseconds perHostDelay_;
    const std::chrono::seconds stallLimit_;

    std::unique_ptr<CURLSH, decltype(&curl_share_cleanup)> share_;
    std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi_;
    std::mutex shareLocks_[CURL_LOCK_DATA_LAST];

    std::mutex mutex_;
    std::deque<Job*> waiting_;
    std::map<CURL*, Job*> running_;  // touched only by the loop's thread
    std::map<std::string, HostState> hosts_;
    // Told when a host's connection is freed or fetching ends, and only while
    // ClaimHost has callers waiting, so that the ends of ordinary transfers
    // wake nobody.
    std::condition_variable hostFreed_;
    int claimers_ = 0;
    // The scheduler is going away: whatever is still in flight ends.
    bool quit_ = false;
    std::thread thread_;
    using Wake = std::function<void()>;
    std::optional<std::stop_callback<Wake>> onRefused_;
    std::optional<std::stop_callback<Wake>> onAbort_;
};

}  // namespace veltrap
