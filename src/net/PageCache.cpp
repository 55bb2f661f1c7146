#include "net/PageCache.h"

namespace veltrap {

PageCache::PageCache(std::int64_t byteBudget) : byteBudget_(byteBudget) {}

std::int64_t PageCache::SizeOf(const std::string& url, const PageAnswer& answer) {
    std::size_t size = url.size() + answer.body.size() + answer.finalUrl.size();
    for (const auto& [name, value] : answer.headers) {
        size += name.size() + value.size();
    }
    return static_cast<std::int64_t>(size);
}

std::optional<PageAnswer> PageCache::Claim(const std::string& url) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (const auto kept = answers_.find(url); kept != answers_.end()) {
            return kept->second;
        }
        const auto going = inFlight_.find(url);
        if (going == inFlight_.end()) {
            inFlight_.emplace(url, std::make_shared<InFlight>());
            return std::nullopt;
        }
        const std::shared_ptr<InFlight> flight = going->second;
        ++flight->waiting;
        finished_.wait(lock, [&flight] { return flight->finished; });
        --flight->waiting;
        if (flight->answer) {
            return flight->answer;
        }
        // That fetch got nothing; look again, and fetch if nobody else does.
    }
}

void PageCache::Finish(const std::string& url, const PageAnswer* answer) {
    std::lock_guard lock(mutex_);
    const auto going = inFlight_.find(url);
    if (answer != nullptr && !answers_.contains(url)) {
        const std::int64_t size = SizeOf(url, *answer);
        if (bytesHeld_ + size <= byteBudget_) {
            answers_.emplace(url, *answer);
            bytesHeld_ += size;
        }
    }
    if (going == inFlight_.end()) {
        return;
    }
    const std::shared_ptr<InFlight> flight = going->second;
    inFlight_.erase(going);
    // Those waiting get the answer even when the budget left no room to keep it.
    if (answer != nullptr && flight->waiting > 0) {
        flight->answer = *answer;
    }
    flight->finished = true;
    finished_.notify_all();
}

std::int64_t PageCache::BytesHeld() const {
    std::lock_guard lock(mutex_);
    return bytesHeld_;
}

}  // namespace veltrap
