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

Result<DataForSeoPage> DataForSeoSource::Ask(const std::string& siteKey, std::int64_t offset,
                                             std::int64_t limit, const PageFetch& fetch) const {
    const RequestHeaders headers = {
        "Authorization: Basic " + Base64Encode(login_ + ":" + password_),
        "Content-Type: application/json"};
    Result<DataForSeoPage> read =
        ReadDataForSeo(fetch.Post(url_, headers, DataForSeoRequestBody(siteKey, offset, limit)));
    if (!read) {
        // An answer may echo what it was sent; the password is never told.
        return Failure{WithoutSecret(read.reason(), password_)};
    }
    return read;
}

Result<std::string> DataForSeoSource::Probe(const std::string& siteKey, const PageFetch& fetch) {
    const Result<DataForSeoPage> read = Ask(siteKey, 0, 1, fetch);
    if (!read) {
        return Failure{read.reason()};
    }
    return siteKey + " has " + std::to_string(read->totalCount) +
           (read->totalCount == 1 ? " backlink" : " backlinks");
}

DiscoveryOutcome DataForSeoSource::Discover(const std::string& siteKey, int maxPages,
                                            const PageFetch& fetch,
                                            const std::function<void(std::string url)>& found) {
    DiscoveryOutcome outcome;
    std::set<std::string> seen;
    std::int64_t total = 0;
    for (int request = 0; request < maxPages; ++request) {
        const std::int64_t offset = kDataForSeoLimit * request;
        // The first request learns the total; the later ones stop at it.
        if (request > 0 && offset >= total) {
            break;
        }
        const Result<DataForSeoPage> read = Ask(siteKey, offset, kDataForSeoLimit, fetch);
        if (!read) {
            outcome.failed = true;
            outcome.failedPage = request + 1;
            outcome.reason = "request at offset " + std::to_string(offset) + ": " + read.reason();
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
