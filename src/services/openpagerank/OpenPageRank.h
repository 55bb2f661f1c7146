#pragma once

#include "base/LookupOutcome.h"
#include "net/PageAnswer.h"

#include <string>
#include <vector>

namespace veltrap {

// The getPageRank address that asks for these domains at once:
// "{apiUrl}?domains[]=d1&domains[]=d2...", each domain escaped.
std::string OpenPageRankAddress(const std::string& apiUrl, const std::vector<std::string>& domains);

// What the answer says of each domain asked, in the order asked: its
// page_rank_integer (0 to 10) for an entry with status 200, not found for
// one with 404, and failed for anything else: another status, an entry
// missing or malformed, an HTTP error, a refused key, or a body that is not
// the service's JSON.
std::vector<LookupOutcome> ReadOpenPageRank(const PageAnswer& answer,
                                            const std::vector<std::string>& domains);

}  // namespace veltrap
