#include "net/PageAnswer.h"

#include "base/AsciiCase.h"

namespace veltrap {

std::string_view PageAnswer::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (EqualsNoCase(key, name)) {
            return value;
        }
    }
    return {};
}

std::string PageAnswer::Problem() const {
    if (!answered) {
        return transportError.empty() ? "no answer" : "no answer (" + transportError + ")";
    }
    if (refused) {
        return "still refused after 3 retries (HTTP " + std::to_string(status) + ")";
    }
    if (status >= 400) {
        return "HTTP " + std::to_string(status);
    }
    if (tooManyRedirects) {
        return "too many redirects";
    }
    return {};
}

}  // namespace veltrap
