#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace veltrap {

// Bodies of successful GETs within one run, keyed by the address as asked for.
// Stores stop once the byte budget would be exceeded. Thread-safe.
class PageCache {
public:
    explicit PageCache(std::int64_t byteBudget);

    std::optional<std::string> Lookup(const std::string& url) const;
    // Keeps the body unless it would take the cache past its budget.
    void Store(const std::string& url, const std::string& body);
    std::int64_t BytesHeld() const;

private:
    mutable std::mutex mutex_;
    std::int64_t byteBudget_;
    std::int64_t bytesHeld_ = 0;
    std::unordered_map<std::string, std::string> bodies_;
};

}  // namespace veltrap
