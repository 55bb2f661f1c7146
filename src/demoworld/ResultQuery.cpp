#include "demoworld/ResultQuery.h"

#include "demoworld/DemoText.h"

#include <charconv>

namespace veltrap {

ResultQuery ResultQuery::Parse(std::string_view query, std::string_view leadKey,
                               std::string_view stopKey, std::string_view pageKey) {
    ResultQuery parsed;
    const std::string leadPrefix = std::string(leadKey) + "=";
    std::size_t leadStart = std::string_view::npos;
    if (query.starts_with(leadPrefix)) {
        leadStart = leadPrefix.size();
    } else if (const auto at = query.find("&" + leadPrefix); at != std::string_view::npos) {
        leadStart = at + 1 + leadPrefix.size();
    }
    if (leadStart != std::string_view::npos) {
        const auto stop = query.rfind(std::string("&").append(stopKey).append("="));
        std::size_t leadEnd = query.find('&', leadStart);
        if (stop != std::string_view::npos && stop >= leadStart) {
            leadEnd = stop;
        }
        parsed.lead = PercentDecode(query.substr(leadStart, leadEnd == std::string_view::npos
                                                                ? std::string_view::npos
                                                                : leadEnd - leadStart));
    }
    const std::string pagePrefix = std::string(pageKey) + "=";
    std::size_t pageStart = std::string_view::npos;
    if (const auto at = query.rfind("&" + pagePrefix); at != std::string_view::npos) {
        pageStart = at + 1 + pagePrefix.size();
    } else if (query.starts_with(pagePrefix)) {
        pageStart = pagePrefix.size();
    }
    if (pageStart != std::string_view::npos) {
        const std::string_view digits = query.substr(pageStart);
        long value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec == std::errc() && end != digits.data()) {
            parsed.page = value;
            parsed.hasPage = true;
        }
    }
    return parsed;
}

}  // namespace veltrap
