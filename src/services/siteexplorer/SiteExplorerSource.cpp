#include "services/siteexplorer/SiteExplorerSource.h"

#include "services/siteexplorer/BacklinkPage.h"

#include <utility>

namespace veltrap {

SiteExplorerSource::SiteExplorerSource(ServiceEndpoints endpoints)
    : endpoints_(std::move(endpoints)) {}

DiscoveryOutcome SiteExplorerSource::Discover(const std::string& siteKey, int maxPages,
                                              const PageFetch& fetch,
                                              const std::function<void(std::string url)>& found) {
    DiscoveryOutcome outcome;
    for (int page = 0; page < maxPages; ++page) {
        const PageAnswer answer = fetch(BacklinkPageAddress(endpoints_, siteKey, page));
        // A page is read by the same rules whatever its status, so an error
        // page gives what it holds (usually nothing); the failure is told
        // beside it, since an empty page of a failed service is no "none".
        BacklinkPage read = ReadBacklinkPage(answer.body, endpoints_.siteExplorerNextMarker);
        for (std::string& url : read.urls) {
            found(std::move(url));
        }
        if (!outcome.failed && (!answer.Usable() || answer.cut)) {
            outcome.failed = true;
            outcome.failedPage = page + 1;
            outcome.reason =
                answer.Usable() ? "the answer was cut at the body size limit" : answer.Problem();
        }
        if (!read.nextPageFollows) {
            break;
        }
    }
    return outcome;
}

}  // namespace veltrap
