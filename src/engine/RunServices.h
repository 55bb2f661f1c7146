#pragma once

#include "base/Result.h"
#include "engine/ServiceConfig.h"
#include "services/AuthorityProvider.h"
#include "services/BacklinkSource.h"
#include "services/RankColumn.h"
#include "services/RankProvider.h"

#include <array>
#include <memory>

namespace veltrap {

// The services one run reads, as the configuration chose them.
struct RunServices {
    std::unique_ptr<BacklinkSource> source;
    std::unique_ptr<AuthorityProvider> authority;
    std::array<std::unique_ptr<RankProvider>, kRankColumns.size()> ranks;

    RankProvider& Rank(RankColumn column) const { return *ranks[static_cast<std::size_t>(column)]; }

    // Builds the chosen services; fails with the reason when the
    // configuration cannot run, before anything is sent.
    static Result<RunServices> Make(const ServiceConfig& config);
};

}  // namespace veltrap
