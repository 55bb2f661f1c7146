#pragma once

#include "net/HttpSession.h"
#include "scrape/ServiceEndpoints.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// The lookup page's address for a page; the page address goes in unchanged.
std::string PageRankAddress(const ServiceEndpoints& services, std::string_view pageUrl);

// Reads the value from a lookup answer: the number in the coloured font after
// "Your pagerank is:". -1 when the answer cannot be read; a value that is not a
// number reads as 0.
std::int32_t ReadPageRank(std::string_view answer);

// Asks the lookup page. Without a configured lookup host the answer is -1 and
// nothing is sent.
std::int32_t LookupPageRank(HttpSession& session, const ServiceEndpoints& services,
                            std::string_view pageUrl);

}  // namespace veltrap
