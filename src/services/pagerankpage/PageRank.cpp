#include "services/pagerankpage/PageRank.h"

#include "base/LeadingInteger.h"

namespace veltrap {

std::string PageRankAddress(const ServiceEndpoints& services, std::string_view pageUrl) {
    return "http://" + services.pagerankHost + "/?" + std::string(pageUrl);
}

std::optional<std::int32_t> ReadPageRank(std::string_view answer) {
    const auto sentence = answer.find("Your pagerank is:");
    if (sentence == std::string_view::npos) {
        return std::nullopt;
    }
    const auto font = answer.find("font color", sentence);
    if (font == std::string_view::npos) {
        return std::nullopt;
    }
    const auto tagEnd = answer.find('>', font);
    if (tagEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const auto valueStart = tagEnd + 1;
    const auto valueEnd = answer.find('<', valueStart);
    if (valueEnd == std::string_view::npos) {
        return std::nullopt;
    }
    return LeadingInteger32(answer.substr(valueStart, valueEnd - valueStart));
}

}  // namespace veltrap
