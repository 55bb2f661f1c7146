#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's Bing Webmaster Tools API, and the key it takes.
inline constexpr std::string_view kDemoBingHost = "bing.demo.example";
inline constexpr std::string_view kDemoBingKey = "veltrap-demo-bing-key";

// Bing Webmaster Tools as a backlink source: its reader, its configuration
// keys and its demo.
ServiceDescriptor BingWebmasterService();

}  // namespace veltrap
