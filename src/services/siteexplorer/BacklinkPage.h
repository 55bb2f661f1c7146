#pragma once

#include "services/ServiceEndpoints.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// What one result page of the backlink service holds.
struct BacklinkPage {
    std::vector<std::string> urls;  // in page order, duplicates kept
    bool nextPageFollows = false;   // a full page of 50 with the next-page marker after it
};

// How many results a full result page of the backlink service holds.
inline constexpr int kBacklinksPerPage = 50;

// The address of result page pageIndex (0-based) for the site key. The key goes
// into the query unchanged.
std::string BacklinkPageAddress(const ServiceEndpoints& services, std::string_view siteKey,
                                int pageIndex);

// Reads one result page. Reading stops at the first result whose address cannot
// be taken whole; the results before it are kept.
BacklinkPage ReadBacklinkPage(std::string_view pageText, std::string_view nextPageMarker);

}  // namespace veltrap
