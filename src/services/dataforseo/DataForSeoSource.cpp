#include "services/dataforseo/DataForSeoSource.h"

#include "base/Base64.h"
#include "base/QuotedText.h"
#include "services/dataforseo/DataForSeo.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>

namespace veltrap {

DataForSeoSource::DataForSeoSource(std::string url, std::string login, std::string password)
    : url_(std::move(url)), login_(std::move(login)), password_(std::move(password)) {}

DiscoveryOutcome DataForSeoSource::Discover(const std::string& siteKey, int maxPages,
                                            const PageFetch& fetch,
                                            const std::function<void(std::string url)>& found) {
    const RequestHeaders headers = {
        "Authorization: Basic " + Base64Encode(login_ + ":" + password_),
        "Content-Type: application/json"};
    DiscoveryOutcome outcome;
    std::set<std::string> seen;
    std::int64_t total = 0;
    for (int request = 0; request < maxPages; ++request) {
        const std::int64_t offset = kDataForSeoLimit * request;
        // The first request learns the total; the later ones stop at it.
        if (request > 0 && offset >= total) {
            break;
        }
        const Result<DataForSeoPage> read =
            ReadDataForSeo(fetch.Post(url_, headers, DataForSeoRequestBody(siteKey, offset)));
        if (!read) {
            outcome.failed = true;
            outcome.failedPage = request + 1;
            // An answer may echo what it was sent; the password is never told.
            outcome.reason = WithoutSecret(
                "request at offset " + std::to_string(offset) + ": " + read.reason(), password_);
            return outcome;
        }
        total = std::max(total, read->totalCount);
        for (const std::string& url : read->urls) {
            if (!url.empty() && seen.insert(url).second) {
                found(url);
            }
        }
    }
    return outcome;
}

}  // namespace veltrap
