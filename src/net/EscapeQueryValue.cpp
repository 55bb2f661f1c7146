#include "net/EscapeQueryValue.h"

#include <curl/curl.h>

#include <climits>
#include <memory>
#include <new>

namespace veltrap {

std::string EscapeQueryValue(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::bad_alloc();
    }
    // libcurl ignores the handle here, so none is needed.
    const std::unique_ptr<char, decltype(&curl_free)> escaped(
        curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size())), &curl_free);
    if (!escaped) {
        throw std::bad_alloc();
    }
    return escaped.get();
}

}  // namespace veltrap
