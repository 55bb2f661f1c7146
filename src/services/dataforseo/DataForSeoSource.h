#pragma once

#include "services/BacklinkSource.h"

#include <string>

namespace veltrap {

// Backlinks from DataForSEO's live backlinks endpoint, which answers for any
// site: a POST per 1000 backlinks, with HTTP Basic authentication, until the
// total the answers give is read. Every linking page is found once, in the
// order it first appears. A failed request ends the discovery; what was found
// before it stays found.
class DataForSeoSource : public BacklinkSource {
public:
    static constexpr const char* kName = "dataforseo";

    DataForSeoSource(std::string url, std::string login, std::string password);

    std::string Name() const override { return kName; }
    // maxPages bounds the requests, each of up to 1000 backlinks.
    DiscoveryOutcome Discover(const std::string& siteKey, int maxPages, const PageFetch& fetch,
                              const std::function<void(std::string url)>& found) override;

private:
    std::string url_;
    std::string login_;
    std::string password_;
};

}  // namespace veltrap
