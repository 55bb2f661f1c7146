#pragma once

#include "services/AuthorityProvider.h"
#include "services/ServiceEndpoints.h"

namespace veltrap {

// Authority from the PageRank lookup page, asked once per page address.
class PageRankPageProvider : public AuthorityProvider {
public:
    static constexpr const char* kName = "pagerank-page";

    explicit PageRankPageProvider(ServiceEndpoints endpoints);

    std::string Name() const override { return kName; }
    // Without a configured lookup host nothing is asked and nothing is found.
    LookupOutcome Authority(const std::string& pageUrl, const PageFetch& fetch) override;

private:
    ServiceEndpoints endpoints_;
};

}  // namespace veltrap
