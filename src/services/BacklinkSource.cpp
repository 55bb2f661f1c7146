#include "services/BacklinkSource.h"

namespace veltrap {

Result<std::string> BacklinkSource::Probe(const std::string& siteKey, const PageFetch& fetch) {
    std::size_t found = 0;
    const DiscoveryOutcome outcome =
        Discover(siteKey, 1, fetch, [&found](const std::string&) { ++found; });
    if (outcome.failed) {
        return Failure{outcome.reason};
    }
    return std::to_string(found) + (found == 1 ? " linking page" : " linking pages") +
           " on the first page for " + siteKey;
}

}  // namespace veltrap
