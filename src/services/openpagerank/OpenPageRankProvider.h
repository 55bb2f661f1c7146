#pragma once

#include "services/AuthorityProvider.h"

#include <cstddef>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace veltrap {

// Authority from Open PageRank, which scores whole domains: a page takes the
// score of its registrable domain. Each domain is asked at most once, in
// batches, and the answer serves every page of it for the rest of the run.
class OpenPageRankProvider : public AuthorityProvider {
public:
    static constexpr const char* kName = "openpagerank";
    // The most domains the service takes in one request.
    static constexpr std::size_t kMostDomainsPerRequest = 100;

    OpenPageRankProvider(std::string apiUrl, std::string key);

    std::string Name() const override { return kName; }
    // Asks for the domains of all these pages ahead, in as few requests as
    // the batch size allows.
    void Prepare(const std::vector<std::string>& pageUrls, const PageFetch& fetch) override;
    // A domain not prepared is asked on its own, once; a lookup that finds
    // its domain being asked waits for that answer.
    LookupOutcome Authority(const std::string& pageUrl, const PageFetch& fetch) override;

private:
    // Asks for every domain of these pages not yet asked.
    void Ask(const std::vector<std::string>& pageUrls, const PageFetch& fetch);

    std::string apiUrl_;
    std::string key_;
    std::mutex mutex_;
    std::map<std::string, std::shared_future<LookupOutcome>> outcomes_;
};

}  // namespace veltrap
