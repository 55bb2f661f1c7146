#pragma once

#include "services/BacklinkSource.h"
#include "services/ServiceEndpoints.h"

namespace veltrap {

// Backlinks from the backlink search service's result pages, 50 to a page,
// read page after page until one announces no further page.
class SiteExplorerSource : public BacklinkSource {
public:
    static constexpr const char* kName = "siteexplorer";

    explicit SiteExplorerSource(ServiceEndpoints endpoints);

    std::string Name() const override { return kName; }
    DiscoveryOutcome Discover(const std::string& siteKey, int maxPages, const PageFetch& fetch,
                              const std::function<void(std::string url)>& found) override;

private:
    ServiceEndpoints endpoints_;
};

}  // namespace veltrap
