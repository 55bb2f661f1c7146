#pragma once

#include <string>
#include <vector>

namespace veltrap {

// The demo's getPageRank answer for these domains, in the service's JSON: a
// score from 0 to 10 drawn from each domain's name, and for a few domains the
// service's 404 entry, "Domain not found".
std::string RenderOpenPageRankAnswer(const std::vector<std::string>& domains);

// The answer to a request without the right key.
std::string RenderOpenPageRankRefusal();

}  // namespace veltrap
