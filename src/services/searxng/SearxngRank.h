#pragma once

#include "base/LookupOutcome.h"
#include "net/PageFetch.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The engine names of a configured list: split at commas, blanks trimmed,
// empty names left out.
std::vector<std::string> SearxngEngines(std::string_view list);

// The JSON address of result page pageNumber (from 1) for a keyphrase on
// these engines: "{baseUrl}/search?q=...&format=json&engines=...&pageno=N".
std::string SearxngPageAddress(std::string_view baseUrl, std::string_view keyphrase,
                               const std::vector<std::string>& engines, int pageNumber);

// The position of the first result whose address holds the target, both
// compared in lower case, counted from 1 across at most maxRankingPages
// pages. "No Anchor Text" and a page limit below 1 find nothing and ask
// nothing; a page without results ends the search. A status other than 200,
// an answer that is not JSON, and a page on which an engine asked did not
// answer make the check a failed one.
LookupOutcome RankOnSearxng(std::string_view baseUrl, const std::vector<std::string>& engines,
                            int maxRankingPages, const PageFetch& fetch,
                            const std::string& keyphrase, const std::string& target);

}  // namespace veltrap
