#pragma once

#include <string_view>

namespace veltrap {

// The demo web's host names live under the reserved ".example" domain, so they
// can never reach a real service; every connection goes to the demo server
// through the connect-to setting. These are the ones several writers share.
inline constexpr std::string_view kDemoImageHost = "images.demo.example";
// The next-page arrow of the backlink service and of the Yahoo result pages.
inline constexpr std::string_view kDemoNextMarker =
    "http://images.demo.example/i/us/search/gr/ar_next.gif";

}  // namespace veltrap
