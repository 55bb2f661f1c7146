#pragma once

#include <string>

namespace veltrap {

// The hosts of the outside services the readers consult, and the two next-page
// image addresses that tell whether a result page has a successor. A host may
// carry a port ("127.0.0.1:8080").
struct ServiceEndpoints {
    std::string siteExplorerHost = "siteexplorer.search.yahoo.com";
    std::string siteExplorerNextMarker =
        "http://us.i1.yimg.com/us.yimg.com/i/us/search/gr/ar_next.gif";
    std::string googleHost = "www.google.com";
    std::string yahooHost = "search.yahoo.com";
    std::string yahooNextMarker = "http://us.i1.yimg.com/us.yimg.com/i/us/search/gr/ar_next.gif";
    std::string msnHost = "search.msn.com";
    // No public service is known; empty makes every lookup answer -1 unasked.
    std::string pagerankHost;
};

}  // namespace veltrap
