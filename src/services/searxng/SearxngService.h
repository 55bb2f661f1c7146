#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's SearXNG instance.
inline constexpr std::string_view kDemoSearxngHost = "searxng.demo.example";

// SearXNG's JSON search: its reader, its configuration keys and its demo.
ServiceDescriptor SearxngService();

}  // namespace veltrap
