#include "services/pagerankpage/PageRankPageProvider.h"

#include "services/pagerankpage/PageRank.h"

#include <utility>

namespace veltrap {

PageRankPageProvider::PageRankPageProvider(ServiceEndpoints endpoints)
    : endpoints_(std::move(endpoints)) {}

LookupOutcome PageRankPageProvider::Authority(const std::string& pageUrl, const PageFetch& fetch) {
    if (endpoints_.pagerankHost.empty()) {
        return LookupOutcome::NotFound();
    }
    const PageAnswer answer = fetch(PageRankAddress(endpoints_, pageUrl));
    // The value is read by the same rules whatever the status, so only an
    // answer without one counts as failed.
    if (const std::optional<std::int32_t> value = ReadPageRank(answer.body)) {
        return LookupOutcome::Found(*value);
    }
    if (!answer.Usable()) {
        return LookupOutcome::Failed(answer.Problem());
    }
    return LookupOutcome::Failed("unreadable answer");
}

}  // namespace veltrap
