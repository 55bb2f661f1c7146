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
    // How the linking page answered and what it says about its link; written
    // with href and anchorText, from the same fetch.
    std::int32_t httpStatus = 0;  // the final status; 0 without an answer
    std::string finalUrl;         // the page's address after redirects
    std::string rel;              // the link's rel tokens, lower-cased, single-spaced
    std::string robots;           // "noindex", "nofollow", both or ""
    std::string canonical;        // the page's canonical address when it names another
    // "gone", "error", "noindex", "sponsored", "ugc", "nofollow" or "follow";
    // "" while the run has not read the page.
    std::string linkStatus;
    // The fields whose lookup failed, by field name ("pageRank"), with why, in
    // the order they were looked up. A field that failed holds -1, as one
    // that was not found does.
    std::vector<std::pair<std::string, std::string>> failures;
};

}  // namespace veltrap
