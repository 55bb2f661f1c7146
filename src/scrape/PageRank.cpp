#include "scrape/PageRank.h"

#include "scrape/PageFetch.h"

#include <algorithm>
#include <limits>

namespace veltrap {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The integer at the start of the text: leading white space skipped, an
// optional sign, then the digits up to the first other character; 0 without
// digits. Values beyond 32 bits stop at the nearest limit.
std::int32_t LeadingInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsCSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = std::min(kLimit, magnitude * 10 + (text[at] - '0'));
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::string PageRankAddress(const ServiceEndpoints& services, std::string_view pageUrl) {
    return "http://" + services.pagerankHost + "/?" + std::string(pageUrl);
}

std::int32_t ReadPageRank(std::string_view answer) {
    const auto sentence = answer.find("Your pagerank is:");
    if (sentence == std::string_view::npos) {
        return -1;
    }
    const auto font = answer.find("font color", sentence);
    if (font == std::string_view::npos) {
        return -1;
    }
    const auto tagEnd = answer.find('>', font);
    if (tagEnd == std::string_view::npos) {
        return -1;
    }
    const auto valueStart = tagEnd + 1;
    const auto valueEnd = answer.find('<', valueStart);
    if (valueEnd == std::string_view::npos) {
        return -1;
    }
    return LeadingInteger(answer.substr(valueStart, valueEnd - valueStart));
}

std::int32_t LookupPageRank(HttpSession& session, const ServiceEndpoints& services,
                            std::string_view pageUrl) {
    if (services.pagerankHost.empty()) {
        return -1;
    }
    return ReadPageRank(FetchPageText(session, PageRankAddress(services, pageUrl)));
}

}  // namespace veltrap
