#include "scrape/PageRank.h"

#include "base/LeadingInteger.h"
#include "scrape/PageFetch.h"

namespace veltrap {

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
    return LeadingInteger32(answer.substr(valueStart, valueEnd - valueStart));
}

std::int32_t LookupPageRank(HttpSession& session, const ServiceEndpoints& services,
                            std::string_view pageUrl) {
    if (services.pagerankHost.empty()) {
        return -1;
    }
    return ReadPageRank(FetchPageText(session, PageRankAddress(services, pageUrl)));
}

}  // namespace veltrap
