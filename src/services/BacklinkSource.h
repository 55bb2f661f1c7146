#pragma once

#include "base/Result.h"
#include "net/PageFetch.h"

#include <functional>
#include <string>

namespace veltrap {

// How a discovery of backlinks ended. A source that failed on a later page
// keeps what it read before; failing on its first page means nothing is known
// of the site's backlinks, which is not the same as having none.
struct DiscoveryOutcome {
    bool failed = false;
    int failedPage = 0;  // 1-based
    std::string reason;
};

// Where the pages that link to a site come from.
class BacklinkSource {
public:
    virtual ~BacklinkSource() = default;

    // The name the configuration chooses it by.
    virtual std::string Name() const = 0;
    // Collects the linking pages of the site with this key, in order, handing
    // each address to found as soon as it is read; maxPages bounds how much of
    // a paged source is read.
    virtual DiscoveryOutcome Discover(const std::string& siteKey, int maxPages,
                                      const PageFetch& fetch,
                                      const std::function<void(std::string url)>& found) = 0;
    // Sends the one request that shows whether the source can be used as
    // configured, and says what it answered ("12 linking pages on the first
    // page"), or why it failed, in the source's own words where it gave some.
    virtual Result<std::string> Probe(const std::string& siteKey, const PageFetch& fetch);
};

}  // namespace veltrap
