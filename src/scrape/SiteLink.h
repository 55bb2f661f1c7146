#pragma once

#include "net/PageFetch.h"

#include <optional>
#include <string>
#include <string_view>

namespace veltrap {

// The first link on a linking page that points at the profiled site.
struct SiteLink {
    std::string href;        // the link target, lower-cased
    std::string anchorText;  // cleaned and lower-cased, or kNoAnchorText
};

inline constexpr std::string_view kNoAnchorText = "No Anchor Text";

// Finds the link to the site in a page's text. The comparison ignores ASCII
// case; an occurrence of the site within the first 31 characters of the page
// ends the search, as does a link that is not closed properly.
std::optional<SiteLink> ReadSiteLink(std::string_view pageText, std::string_view siteKey);

// Turns the raw text between an anchor's tags into a keyphrase: markup out,
// too short becomes kNoAnchorText, punctuation trimmed from the ends, then
// "&nbsp", tabs and line breaks removed and runs of blanks made single.
std::string CleanAnchorText(std::string text);

// The linking page as it was fetched, and its link to the site if it has one.
struct SiteLinkLookup {
    PageAnswer page;
    std::optional<SiteLink> link;
};

// Fetches the linking page (asked twice if the first time brings no answer)
// and reads its link to the site.
SiteLinkLookup FindSiteLink(const PageFetch& fetch, std::string_view pageUrl,
                            std::string_view siteKey);

}  // namespace veltrap
