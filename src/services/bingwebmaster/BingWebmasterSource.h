#pragma once

#include "services/BacklinkSource.h"

#include <string>

namespace veltrap {

// Backlinks from Bing Webmaster Tools, which answers for the sites verified
// there: first the pages of the site that have links (GetLinkCounts), page
// after page, then for each of them the pages that link to it (GetUrlLinks).
// Every linking page is found once, in the order it first appears. A failed
// request ends the discovery; what was found before it stays found.
class BingWebmasterSource : public BacklinkSource {
public:
    static constexpr const char* kName = "bing-webmaster";

    // siteUrl is the site as verified in Bing; empty takes the site key's.
    BingWebmasterSource(std::string apiUrl, std::string key, std::string siteUrl);

    std::string Name() const override { return kName; }
    // maxPages bounds the pages asked of each call: of GetLinkCounts, and of
    // GetUrlLinks for every page of the site.
    DiscoveryOutcome Discover(const std::string& siteKey, int maxPages, const PageFetch& fetch,
                              const std::function<void(std::string url)>& found) override;
    // The first page of GetLinkCounts: how many pages of the site have links.
    Result<std::string> Probe(const std::string& siteKey, const PageFetch& fetch) override;

    // The site as Bing knows it: the configured address when there is one,
    // otherwise "https://" + the site key + "/" (the key's own trailing
    // slashes dropped, so that the address ends in exactly one).
    static std::string SiteUrl(const std::string& configured, const std::string& siteKey);

private:
    std::string apiUrl_;
    std::string key_;
    std::string siteUrl_;
};

}  // namespace veltrap
