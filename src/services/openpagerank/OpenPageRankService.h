#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's Open PageRank service, and the key it takes.
inline constexpr std::string_view kDemoOpenPageRankHost = "openpagerank.demo.example";
inline constexpr std::string_view kDemoOpenPageRankKey = "veltrap-demo-key";

// Open PageRank: its reader, its configuration keys and its demo.
ServiceDescriptor OpenPageRankService();

}  // namespace veltrap
