#pragma once

#include "services/ServiceDescriptor.h"

#include <string_view>

namespace veltrap {

// The demo web's three search engines.
inline constexpr std::string_view kDemoGoogleHost = "google.demo.example";
inline constexpr std::string_view kDemoYahooHost = "search.yahoo.demo.example";
inline constexpr std::string_view kDemoMsnHost = "msn.demo.example";

// The three engines' HTML result pages: their reader and their demo.
ServiceDescriptor HtmlSearchService();

}  // namespace veltrap
