#pragma once

#include "base/LookupOutcome.h"
#include "net/PageFetch.h"

#include <string>

namespace veltrap {

// Where a target ranks in one engine's web search for a keyphrase: one
// instance per rank column. Safe to call from several threads at once.
class RankProvider {
public:
    virtual ~RankProvider() = default;

    // The name failures are counted under, such as "google".
    virtual std::string Name() const = 0;
    // The 1-based position of the target, counted over at most
    // maxRankingPages result pages.
    virtual LookupOutcome Rank(const std::string& keyphrase, const std::string& target,
                               int maxRankingPages, const PageFetch& fetch) = 0;
};

}  // namespace veltrap
