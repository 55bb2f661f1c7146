#pragma once

#include "services/ServiceEndpoints.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrap {

// The lookup page's address for a page; the page address goes in unchanged.
std::string PageRankAddress(const ServiceEndpoints& services, std::string_view pageUrl);

// Reads the value from a lookup answer: the number in the coloured font after
// "Your pagerank is:". Nothing when the answer cannot be read; a value that is
// not a number reads as 0.
std::optional<std::int32_t> ReadPageRank(std::string_view answer);

}  // namespace veltrap
