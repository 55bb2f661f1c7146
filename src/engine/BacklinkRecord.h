#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {

// One page that links to the profiled site, and what the run found out about it.
// -1 in a number field means the run has not determined it.
struct BacklinkRecord {
    std::string url;         // the linking page, as the backlink service gave it
    std::string href;        // the link's target on that page, lower-cased
    std::string anchorText;  // the keyphrase: anchor text, alt text or "No Anchor Text"
    std::int32_t googlePageRankPos = -1;
    std::int32_t msnPageRankPos = -1;
    std::int32_t yahooPageRankPos = -1;
    std::int32_t googleSitePos = -1;
    std::int32_t msnSitePos = -1;
    std::int32_t yahooSitePos = -1;
    std::int32_t pageRank = -1;
    std::int32_t homePageRank = -1;
    bool reciprocal = false;
    // The fields whose lookup failed, by field name ("pageRank"), with why, in
    // the order they were looked up. A field that failed holds -1, as one
    // that was not found does.
    std::vector<std::pair<std::string, std::string>> failures;
};

}  // namespace veltrap
