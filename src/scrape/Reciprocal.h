#pragma once

#include "base/LookupOutcome.h"
#include "net/HttpOptions.h"
#include "net/PageFetch.h"

#include <cstdint>

#include <string>
#include <string_view>

namespace veltrap {

// The linking site's name as it would appear on a page that links back: the
// page address without any "http://", "https://" or "www.", cut before its
// first "/".
std::string LinkingDomain(std::string_view linkingPageUrl);

// Whether the profiled site links back to the linking site: the page the
// backlink points to is read first, then the site's start page, then every page
// of the site the start page links to, until one mentions the linking domain.
// Found (1) when one does; failed when the start page could not be had and no
// page mentioned the linking site, since then nothing is known; otherwise not
// found. The walk fetches at most maxSitePages distinct pages, these first two
// counted; one that would need more fails, since what the rest say is unknown.
LookupOutcome CheckReciprocal(const PageFetch& fetch, std::string_view siteKey,
                              std::string_view href, std::string_view linkingPageUrl,
                              std::int64_t maxSitePages = HttpOptions::kDefaultMaxSitePages);

}  // namespace veltrap
