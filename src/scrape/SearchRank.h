#pragma once

#include "net/HttpSession.h"
#include "scrape/PageFetch.h"
#include "scrape/ServiceEndpoints.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

enum class SearchEngine { kGoogle, kYahoo, kMsn };

// The address of result page pageIndex (0-based) for a keyphrase, which goes
// into the query unchanged.
std::string SearchPageAddress(SearchEngine engine, const ServiceEndpoints& services,
                              std::string_view keyphrase, int pageIndex);

// How many of the engine's result markers begin after its anchor point and at
// or before the first occurrence of the target after it, at most ten. Both
// texts are expected in lower case.
int CountResultsBefore(SearchEngine engine, std::string_view lowerPage,
                       std::string_view lowerTarget);

// The position of the target among the engine's results for the keyphrase,
// counted ten to a page over at most maxRankingPages pages, or -1 when it was
// not found. "No Anchor Text" and a page limit below 1 answer -1 unasked.
std::int32_t RankOn(SearchEngine engine, const ServiceEndpoints& services, int maxRankingPages,
                    const PageFetch& fetch, std::string keyphrase, std::string target);

// The three checks as the run makes them: one retriever per check, used for all
// of its result pages.
std::int32_t RankOnGoogle(HttpSession& session, const ServiceEndpoints& services,
                          int maxRankingPages, std::string keyphrase, std::string target);
std::int32_t RankOnYahoo(HttpSession& session, const ServiceEndpoints& services,
                         int maxRankingPages, std::string keyphrase, std::string target);
std::int32_t RankOnMsn(HttpSession& session, const ServiceEndpoints& services, int maxRankingPages,
                       std::string keyphrase, std::string target);

}  // namespace veltrap
