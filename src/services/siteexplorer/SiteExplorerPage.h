#pragma once

#include "demoworld/DemoSite.h"

#include <string>
#include <string_view>

namespace veltrap {

// The backlink service's result page for the pages linking to a site: fifty
// results from number first (1-based), each with a title link of class
// "yschttl", and after the last one the next-page arrow when more follow.
// siteKey is the site as it was asked for; the site's own pages among the
// results are written with it. A null site gives the bare search form.
std::string RenderSiteExplorerPage(const DemoSite* site, std::string_view siteKey, long first);

}  // namespace veltrap
