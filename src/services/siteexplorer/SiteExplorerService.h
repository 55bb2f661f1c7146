#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's backlink search service.
inline constexpr std::string_view kDemoSiteExplorerHost = "siteexplorer.demo.example";

// The backlink search service: its result pages, its reader and its demo.
ServiceDescriptor SiteExplorerService();

}  // namespace veltrap
