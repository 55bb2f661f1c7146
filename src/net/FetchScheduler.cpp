#include "net/FetchScheduler.h"

#include <algorithm>
#include <condition_variable>
#include <set>
#include <vector>

namespace veltrap {
namespace {

// How long the loop sleeps at most while transfers are going, so that stalls
// are seen in time; new work and an abort wake it at once.
constexpr int kBusyPollMs = 50;
constexpr int kIdlePollMs = 1000;
constexpr long kMaxTimeoutS = 24 * 3600;

}  // namespace

struct FetchScheduler::Job {
    const Transfer* transfer;
    CURLcode result = CURLE_OK;
    bool done = false;
    // Told only to the caller waiting for this transfer: a hundred callers
    // woken by every transfer's end spent more time than the transfers.
    std::condition_variable ended;

    // Called under the scheduler's lock.
    void End(CURLcode code) {
        result = code;
        done = true;
        ended.notify_one();
    }
};

FetchScheduler::FetchScheduler(const HttpOptions& options, const RunStop& stop)
    : stop_(stop),
      perHostConnections_(std::max(options.perHostConnections, 1)),
      perHostDelay_(std::max(options.perHostDelayMs, 0L)),
      stallLimit_(std::clamp(options.stallTimeoutS, 0L, kMaxTimeoutS)),
      share_(curl_share_init(), &curl_share_cleanup),
      multi_(curl_multi_init(), &curl_multi_cleanup) {
    if (share_) {
        // The easy handles join the share from their callers' threads, so the
        // share must lock; the data itself is used on the loop's thread.
        if (curl_share_setopt(share_.get(), CURLSHOPT_LOCKFUNC, &FetchScheduler::LockShare) !=
                CURLSHE_OK ||
            curl_share_setopt(share_.get(), CURLSHOPT_UNLOCKFUNC, &FetchScheduler::UnlockShare) !=
                CURLSHE_OK ||
            curl_share_setopt(share_.get(), CURLSHOPT_USERDATA, static_cast<void*>(this)) !=
                CURLSHE_OK ||
            curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) !=
                CURLSHE_OK) {
            share_.reset();
        }
    }
    if (multi_) {
        const long total =
            static_cast<long>(std::max(options.jobs, 1)) * HttpOptions::kTransfersPerJob;
        if (curl_multi_setopt(multi_.get(), CURLMOPT_MAX_TOTAL_CONNECTIONS, total) != CURLM_OK) {
            multi_.reset();
        }
    }
    thread_ = std::thread([this] { Loop(); });
    // Registered last, as a stop that was asked for already calls at once.
    onRefused_.emplace(stop_.FetchesRefused(), [this] { Stopped(); });
    onAbort_.emplace(stop_.AbortRequested(), [this] { Stopped(); });
}

FetchScheduler::~FetchScheduler() {
    // A stop asked for from now on finds no scheduler to wake.
    onRefused_.reset();
    onAbort_.reset();
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        TellClaimers();
    }
    if (multi_) {
        curl_multi_wakeup(multi_.get());
    }
    thread_.join();
}

CURLcode FetchScheduler::Perform(const Transfer& transfer) {
    if (!multi_ || transfer.easy == nullptr || transfer.lastByte == nullptr) {
        return CURLE_FAILED_INIT;
    }
    Job job{.transfer = &transfer, .result = CURLE_OK, .done = false, .ended = {}};
    {
        std::lock_guard lock(mutex_);
        // Read under the lock that Stopped takes, so a job is either refused
        // here or ended there.
        if (stop_.RefusesFetches() || quit_) {
            return CURLE_ABORTED_BY_CALLBACK;
        }
        waiting_.push_back(&job);
    }
    curl_multi_wakeup(multi_.get());
    std::unique_lock lock(mutex_);
    job.ended.wait(lock, [&job] { return job.done; });
    return job.result;
}

void FetchScheduler::HoldHost(const std::string& host, Clock::time_point until) {
    {
        std::lock_guard lock(mutex_);
        HostState& state = hosts_[host];
        state.notBefore = std::max(state.notBefore, until);
    }
    if (multi_) {
        curl_multi_wakeup(multi_.get());
    }
}

bool FetchScheduler::ClaimHost(const std::string& host) {
    std::unique_lock lock(mutex_);
    // Stopped() and Complete() tell hostFreed_, so the wait sees both a freed
    // connection and the stop.
    ++claimers_;
    hostFreed_.wait(lock, [&] {
        return quit_ || stop_.RefusesFetches() || hosts_[host].active < perHostConnections_;
    });
    --claimers_;
    if (quit_ || stop_.RefusesFetches()) {
        return false;
    }
    ++hosts_[host].active;
    return true;
}

void FetchScheduler::ReleaseHost(const std::string& host) {
    {
        std::lock_guard lock(mutex_);
        --hosts_[host].active;
        TellClaimers();
    }
    if (multi_) {
        curl_multi_wakeup(multi_.get());
    }
}

void FetchScheduler::Stopped() {
    {
        std::lock_guard lock(mutex_);
        for (Job* job : waiting_) {
            job->End(CURLE_ABORTED_BY_CALLBACK);
        }
        waiting_.clear();
        TellClaimers();
    }
    if (multi_) {
        curl_multi_wakeup(multi_.get());
    }
}

void FetchScheduler::Loop() {
    if (!multi_) {
        return;
    }
    CURLM* multi = multi_.get();
    for (;;) {
        bool aborting = false;
        {
            std::lock_guard lock(mutex_);
            aborting = stop_.Aborted() || quit_;
            if (quit_ && running_.empty()) {
                return;
            }
        }
        if (aborting) {
            while (!running_.empty()) {
                Complete(*running_.begin()->second, CURLE_ABORTED_BY_CALLBACK);
            }
            std::unique_lock lock(mutex_);
            if (quit_) {
                return;
            }
            // Nothing more can start; wait for the end without spinning.
            lock.unlock();
            curl_multi_poll(multi, nullptr, 0, kIdlePollMs, nullptr);
            continue;
        }
        StartReady(Clock::now());
        int stillRunning = 0;
        const CURLMcode performed = curl_multi_perform(multi, &stillRunning);
        const bool freed = FinishDone();
        if (performed != CURLM_OK) {
            // The multi handle is broken; every transfer on it fails alike.
            while (!running_.empty()) {
                Complete(*running_.begin()->second, CURLE_FAILED_INIT);
            }
        }
        const Clock::time_point now = Clock::now();
        CheckStalls(now);
        // A transfer that ended may have freed its host for one waiting, which
        // starts at once rather than after the next poll.
        if (!freed) {
            curl_multi_poll(multi, nullptr, 0, PollTimeoutMs(now), nullptr);
        }
    }
}

void FetchScheduler::StartReady(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    // A host whose first waiting transfer cannot start holds back its later
    // ones too, so each host is served in the order transfers were handed in.
    std::set<std::string> blocked;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        Job& job = **it;
        const std::string& host = job.transfer->host;
        HostState& state = hosts_[host];
        const bool ready = !blocked.contains(host) && state.active < perHostConnections_ &&
                           now >= state.notBefore &&
                           (!state.started || now - state.lastStart >= perHostDelay_);
        if (!ready) {
            blocked.insert(host);
            ++it;
            continue;
        }
        *job.transfer->lastByte = now;
        if (curl_multi_add_handle(multi_.get(), job.transfer->easy) != CURLM_OK) {
            job.End(CURLE_FAILED_INIT);
        } else {
            ++state.active;
            state.started = true;
            state.lastStart = now;
            running_.emplace(job.transfer->easy, &job);
        }
        it = waiting_.erase(it);
    }
}

bool FetchScheduler::FinishDone() {
    bool any = false;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg != CURLMSG_DONE) {
            continue;
        }
        CURL* easy = message->easy_handle;
        const CURLcode result = message->data.result;
        if (const auto found = running_.find(easy); found != running_.end()) {
            Complete(*found->second, result);
            any = true;
        }
    }
    return any;
}

void FetchScheduler::CheckStalls(Clock::time_point now) {
    if (stallLimit_.count() == 0) {
        return;
    }
    std::vector<Job*> stalled;
    for (const auto& [easy, job] : running_) {
        if (now - *job->transfer->lastByte >= stallLimit_) {
            stalled.push_back(job);
        }
    }
    for (Job* job : stalled) {
        Complete(*job, CURLE_OPERATION_TIMEDOUT);
    }
}

void FetchScheduler::Complete(Job& job, CURLcode code) {
    CURL* easy = job.transfer->easy;
    // Removing the handle also ends a transfer that is still going.
    if (curl_multi_remove_handle(multi_.get(), easy) != CURLM_OK && code == CURLE_OK) {
        code = CURLE_FAILED_INIT;
    }
    running_.erase(easy);
    std::lock_guard lock(mutex_);
    --hosts_[job.transfer->host].active;
    job.End(code);
    TellClaimers();
}

void FetchScheduler::TellClaimers() {
    if (claimers_ > 0) {
        hostFreed_.notify_all();
    }
}

int FetchScheduler::PollTimeoutMs(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (running_.empty() && waiting_.empty()) {
        return kIdlePollMs;
    }
    auto wait = std::chrono::milliseconds(kBusyPollMs);
    for (const Job* job : waiting_) {
        const HostState& state = hosts_[job->transfer->host];
        Clock::time_point start = state.notBefore;
        if (state.started) {
            start = std::max(start, state.lastStart + perHostDelay_);
        }
        if (start > now) {
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(start - now));
        }
    }
    return static_cast<int>(wait.count());
}

void FetchScheduler::LockShare(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<FetchScheduler*>(self)->shareLocks_[data].lock();
}

void FetchScheduler::UnlockShare(CURL*, curl_lock_data data, void* self) {
    static_cast<FetchScheduler*>(self)->shareLocks_[data].unlock();
}

}  // namespace veltrap
