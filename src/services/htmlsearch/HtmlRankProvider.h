#pragma once

#include "services/RankColumn.h"
#include "services/RankProvider.h"
#include "services/ServiceEndpoints.h"

namespace veltrap {

// A rank column read from one engine's HTML result pages.
class HtmlRankProvider : public RankProvider {
public:
    static constexpr const char* kName = "html";

    HtmlRankProvider(ServiceEndpoints endpoints, RankColumn column);

    std::string Name() const override { return std::string(RankColumnName(column_)); }
    LookupOutcome Rank(const std::string& keyphrase, const std::string& target, int maxRankingPages,
                       const PageFetch& fetch) override;

private:
    ServiceEndpoints endpoints_;
    RankColumn column_;
};

}  // namespace veltrap
