#include "services/htmlsearch/HtmlRankProvider.h"

#include "services/htmlsearch/SearchRank.h"

#include <utility>

namespace veltrap {

HtmlRankProvider::HtmlRankProvider(ServiceEndpoints endpoints, RankColumn column)
    : endpoints_(std::move(endpoints)), column_(column) {}

LookupOutcome HtmlRankProvider::Rank(const std::string& keyphrase, const std::string& target,
                                     int maxRankingPages, const PageFetch& fetch) {
    return RankOn(column_, endpoints_, maxRankingPages, fetch, keyphrase, target);
}

}  // namespace veltrap
