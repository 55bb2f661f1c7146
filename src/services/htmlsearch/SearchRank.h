#pragma once

#include "base/LookupOutcome.h"
#include "net/PageFetch.h"
#include "services/RankColumn.h"
#include "services/ServiceEndpoints.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// The address of result page pageIndex (0-based) for a keyphrase, which goes
// into the query unchanged.
std::string SearchPageAddress(RankColumn engine, const ServiceEndpoints& services,
                              std::string_view keyphrase, int pageIndex);

// How many of the engine's result markers begin after its anchor point and at
// or before the first occurrence of the target after it, at most ten. Both
// texts are expected in lower case.
int CountResultsBefore(RankColumn engine, std::string_view lowerPage, std::string_view lowerTarget);

// The position of the target among the engine's results for the keyphrase,
// counted ten to a page over at most maxRankingPages pages. "No Anchor Text"
// and a page limit below 1 find nothing and ask nothing. A result page that
// could not be had makes a check that found nothing a failed one.
LookupOutcome RankOn(RankColumn engine, const ServiceEndpoints& services, int maxRankingPages,
                     const PageFetch& fetch, std::string keyphrase, std::string target);

}  // namespace veltrap
