#include "net/PageCache.h"

namespace veltrap {

PageCache::PageCache(std::int64_t byteBudget) : byteBudget_(byteBudget) {}

std::optional<std::string> PageCache::Lookup(const std::string& url) const {
    std::lock_guard lock(mutex_);
    const auto found = bodies_.find(url);
    if (found == bodies_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PageCache::Store(const std::string& url, const std::string& body) {
    std::lock_guard lock(mutex_);
    const auto size = static_cast<std::int64_t>(url.size() + body.size());
    if (bodies_.contains(url) || bytesHeld_ + size > byteBudget_) {
        return;
    }
    bodies_.emplace(url, body);
    bytesHeld_ += size;
}

std::int64_t PageCache::BytesHeld() const {
    std::lock_guard lock(mutex_);
    return bytesHeld_;
}

}  // namespace veltrap
