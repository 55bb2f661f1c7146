#pragma once

#include "net/PageAnswer.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace veltrap {

// The answers to GETs within one run, keyed by the address as asked for, so
// that an address is fetched once. Keeping stops once the byte budget would be
// exceeded. A fetch of an address that another thread is fetching waits for
// that answer instead of sending the same request again. Thread-safe.
class PageCache {
public:
    explicit PageCache(std::int64_t byteBudget);

    // The answer to take for url: a kept one, or the one that a fetch already
    // in flight brings. Nothing means the caller fetches url itself and must
    // then call Finish, whatever happens.
    std::optional<PageAnswer> Claim(const std::string& url);
    // Ends a claim: keeps the answer if there is room and hands it to whoever
    // waits for it. Without an answer (the fetch failed) nothing is kept, and
    // the next one waiting fetches for itself.
    void Finish(const std::string& url, const PageAnswer* answer);

    std::int64_t BytesHeld() const;

private:
    struct InFlight {
        bool finished = false;
        int waiting = 0;
        std::optional<PageAnswer> answer;
    };

    static std::int64_t SizeOf(const std::string& url, const PageAnswer& answer);

    mutable std::mutex mutex_;
    std::condition_variable finished_;
    std::int64_t byteBudget_;
    std::int64_t bytesHeld_ = 0;
    std::unordered_map<std::string, PageAnswer> answers_;
    std::unordered_map<std::string, std::shared_ptr<InFlight>> inFlight_;
};

}  // namespace veltrap
