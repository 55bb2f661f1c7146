#pragma once

#include "services/RankColumn.h"
#include "services/RankProvider.h"

#include <string>
#include <vector>

namespace veltrap {

// A rank column read from a SearXNG instance's JSON results, asking the
// engines configured for that column.
class SearxngRankProvider : public RankProvider {
public:
    static constexpr const char* kName = "searxng";

    SearxngRankProvider(std::string baseUrl, std::vector<std::string> engines, RankColumn column);

    std::string Name() const override { return std::string(RankColumnName(column_)); }
    LookupOutcome Rank(const std::string& keyphrase, const std::string& target, int maxRankingPages,
                       const PageFetch& fetch) override;

private:
    std::string baseUrl_;
    std::vector<std::string> engines_;
    RankColumn column_;
};

}  // namespace veltrap
