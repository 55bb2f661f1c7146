#include "net/RetryAfter.h"

#include "base/TextSearch.h"

#include <curl/curl.h>

#include <charconv>
#include <limits>
#include <string>

namespace veltrap {

std::optional<long> RetryAfterSeconds(std::string_view value, std::time_t now) {
    value = Trimmed(value);
    if (value.empty()) {
        return std::nullopt;
    }
    if (value.front() >= '0' && value.front() <= '9') {
        unsigned long long seconds = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
        if (end != value.data() + value.size()) {
            return std::nullopt;
        }
        // A number too large to hold is as good as forever; the caller caps it.
        if (ec == std::errc::result_out_of_range ||
            seconds > static_cast<unsigned long long>(std::numeric_limits<long>::max())) {
            return std::numeric_limits<long>::max();
        }
        return static_cast<long>(seconds);
    }
    const std::string text(value);
    const std::time_t when = curl_getdate(text.c_str(), nullptr);
    if (when == -1) {
        return std::nullopt;
    }
    return when > now ? static_cast<long>(when - now) : 0L;
}

}  // namespace veltrap
