#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's PageRank lookup page.
inline constexpr std::string_view kDemoPageRankHost = "pagerank.demo.example";

// The PageRank lookup page: its reader and its demo.
ServiceDescriptor PageRankPageService();

}  // namespace veltrap
