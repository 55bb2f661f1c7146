#pragma once

#include "engine/ServiceConfig.h"

#include <string>
#include <string_view>

namespace veltrap {

// The host names the demo web answers to. They live under the reserved
// ".example" domain, so they can never reach a real service; every connection
// goes to the demo server through the connect-to setting.
inline constexpr std::string_view kDemoSiteExplorerHost = "siteexplorer.demo.example";
inline constexpr std::string_view kDemoGoogleHost = "google.demo.example";
inline constexpr std::string_view kDemoYahooHost = "search.yahoo.demo.example";
inline constexpr std::string_view kDemoMsnHost = "msn.demo.example";
inline constexpr std::string_view kDemoPageRankHost = "pagerank.demo.example";
inline constexpr std::string_view kDemoImageHost = "images.demo.example";
// The next-page arrow of the backlink service and of the Yahoo result pages.
inline constexpr std::string_view kDemoNextMarker =
    "http://images.demo.example/i/us/search/gr/ar_next.gif";

// A site whose demo report shows every kind of result; what `make demo` runs.
std::string DemoSiteName();

// The service hosts and markers of the demo web.
ServiceEndpoints DemoEndpoints();

// base with every service pointed at the demo web and every connection sent to
// 127.0.0.1:port; the other HTTP settings of base stay as they are.
ServiceConfig DemoServiceConfig(const ServiceConfig& base, int port);

// The configuration file a user needs to reach a demo web on port, with a
// comment on how to use it.
std::string DemoConfigText(int port);

}  // namespace veltrap
