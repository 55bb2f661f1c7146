#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's DataForSEO API, and the account it takes.
inline constexpr std::string_view kDemoDataForSeoHost = "dataforseo.demo.example";
inline constexpr std::string_view kDemoDataForSeoLogin = "demo@veltrap.example";
inline constexpr std::string_view kDemoDataForSeoPassword = "veltrap-demo-password";

// DataForSEO's live backlinks as a backlink source: its reader, its
// configuration keys and its demo.
ServiceDescriptor DataForSeoService();

}  // namespace veltrap
