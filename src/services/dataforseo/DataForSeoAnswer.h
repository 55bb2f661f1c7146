#pragma once

#include "demoworld/DemoSite.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// The demo's live backlinks answer for target (the site as it was asked
// for): up to limit of the site's backlinks from offset on, each with the
// page it comes from and the page of the site it points at, and the total the
// site has.
std::string RenderDataForSeoBacklinks(const DemoSite& site, std::string_view target,
                                      std::int64_t offset, std::int64_t limit);

// DataForSEO's answer when the whole request is refused, or when its one task
// is: the status code and message at that level, the other one fine.
std::string RenderDataForSeoRefusal(int statusCode, std::string_view message);
std::string RenderDataForSeoTaskError(int statusCode, std::string_view message);

}  // namespace veltrap
