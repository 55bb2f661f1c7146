#include "services/openpagerank/OpenPageRankProvider.h"

#include "services/openpagerank/OpenPageRank.h"
#include "services/openpagerank/RegistrableDomain.h"

#include <algorithm>
#include <utility>

namespace veltrap {

OpenPageRankProvider::OpenPageRankProvider(std::string apiUrl, std::string key)
    : apiUrl_(std::move(apiUrl)), key_(std::move(key)) {}

void OpenPageRankProvider::Prepare(const std::vector<std::string>& pageUrls,
                                   const PageFetch& fetch) {
    Ask(pageUrls, fetch);
}

LookupOutcome OpenPageRankProvider::Authority(const std::string& pageUrl, const PageFetch& fetch) {
    const std::string domain = RegistrableDomain(pageUrl);
    if (domain.empty()) {
        return LookupOutcome::Failed("no host in the address");
    }
    Ask({pageUrl}, fetch);
    std::shared_future<LookupOutcome> outcome;
    {
        std::lock_guard lock(mutex_);
        outcome = outcomes_.at(domain);
    }
    return outcome.get();
}

void OpenPageRankProvider::Ask(const std::vector<std::string>& pageUrls, const PageFetch& fetch) {
    // The domains are claimed first, so that no other lookup asks for them
    // while this one does.
    std::vector<std::string> domains;
    std::vector<std::promise<LookupOutcome>> promises;
    {
        std::lock_guard lock(mutex_);
        for (const std::string& url : pageUrls) {
            std::string domain = RegistrableDomain(url);
            if (domain.empty() || outcomes_.contains(domain)) {
                continue;
            }
            std::promise<LookupOutcome>& promise = promises.emplace_back();
            outcomes_.emplace(domain, promise.get_future().share());
            domains.push_back(std::move(domain));
        }
    }
    const RequestHeaders headers = {"API-OPR: " + key_};
    std::size_t answered = 0;
    try {
        while (answered < domains.size()) {
            const std::size_t end = std::min(domains.size(), answered + kMostDomainsPerRequest);
            const std::vector<std::string> batch(
                domains.begin() + static_cast<std::ptrdiff_t>(answered),
                domains.begin() + static_cast<std::ptrdiff_t>(end));
            const std::vector<LookupOutcome> outcomes =
                ReadOpenPageRank(fetch(OpenPageRankAddress(apiUrl_, batch), headers), batch);
            for (const LookupOutcome& outcome : outcomes) {
                promises[answered++].set_value(outcome);
            }
        }
    } catch (...) {
        // Whoever waits for a domain not yet answered learns of the failure
        // rather than waiting for ever.
        for (; answered < promises.size(); ++answered) {
            promises[answered].set_exception(std::current_exception());
        }
        throw;
    }
}

}  // namespace veltrap
