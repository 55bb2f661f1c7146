#include "services/searxng/SearxngRankProvider.h"

#include "services/searxng/SearxngRank.h"

#include <utility>

namespace veltrap {

SearxngRankProvider::SearxngRankProvider(std::string baseUrl, std::vector<std::string> engines,
                                         RankColumn column)
    : baseUrl_(std::move(baseUrl)), engines_(std::move(engines)), column_(column) {}

LookupOutcome SearxngRankProvider::Rank(const std::string& keyphrase, const std::string& target,
                                        int maxRankingPages, const PageFetch& fetch) {
    return RankOnSearxng(baseUrl_, engines_, maxRankingPages, fetch, keyphrase, target);
}

}  // namespace veltrap
