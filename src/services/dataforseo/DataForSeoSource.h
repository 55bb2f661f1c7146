#pragma once

#include "services/BacklinkSource.h"
#include "services/dataforseo/DataForSeo.h"

#include <cstdint>

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
    // One task with a limit of 1, which costs least: the site's backlink count.
    Result<std::string> Probe(const std::string& siteKey, const PageFetch& fetch) override;

private:
    // One request of limit backlinks from offset on; a failure never tells the
    // password.
    Result<DataForSeoPage> Ask(const std::string& siteKey, std::int64_t offset, std::int64_t limit,
                               const PageFetch& fetch) const;

    std::string url_;
    std::string login_;
    std::string password_;
};

}  // namespace veltrap
