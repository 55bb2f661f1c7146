#pragma once

#include "engine/RecordField.h"
#include "services/RankColumn.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {

// A position in the results of each of the three search rank columns; -1
// where it was not determined.
class RankPositions {
public:
    std::int32_t& operator[](RankColumn column) { return at_[static_cast<std::size_t>(column)]; }
    std::int32_t operator[](RankColumn column) const {
        return at_[static_cast<std::size_t>(column)];
    }
    bool operator==(const RankPositions&) const = default;

private:
    std::array<std::int32_t, kRankColumns.size()> at_{-1, -1, -1};
};

// One page that links to the profiled site, and what the run found out about it.
// -1 in a number field means the run has not determined it. RecordFields.h
// describes every field once, for the outputs and the history that list them.
struct BacklinkRecord {
    std::string url;         // the linking page, as the backlink service gave it
    std::string href;        // the link's target on that page, lower-cased
    std::string anchorText;  // the keyphrase: anchor text, alt text or "No Anchor Text"
    // Where the linking page (url) and the profiled site rank for anchorText.
    RankPositions pagePos;
    RankPositions sitePos;
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
    // Whether href, anchorText and the link's status were read from the page
    // as a browser showed it once its scripts ran.
    bool rendered = false;
    // The fields whose lookup failed, with why, in the order they were looked
    // up. A field that failed holds -1, as one that was not found does.
    std::vector<std::pair<RecordField, std::string>> failures;
    // Whether the user's disavow file names the linking page or its domain.
    bool disavowed = false;
};

}  // namespace veltrap
