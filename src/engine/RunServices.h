#pragma once

#include "engine/ServiceConfig.h"
#include "services/AuthorityProvider.h"
#include "services/BacklinkSource.h"
#include "services/RankColumn.h"
#include "services/RankProvider.h"

#include <array>
#include <memory>
#include <string>

namespace veltrap {

// The services one run reads, as the configuration chose them.
struct RunServices {
    std::unique_ptr<BacklinkSource> source;
    std::unique_ptr<AuthorityProvider> authority;
    std::array<std::unique_ptr<RankProvider>, kRankColumns.size()> ranks;

    RankProvider& Rank(RankColumn column) { return *ranks[static_cast<std::size_t>(column)]; }

    // Builds the chosen services; error says why when one cannot be had.
    static RunServices Make(const ServiceConfig& config, std::string& error);
};

}  // namespace veltrap
