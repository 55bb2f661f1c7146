#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The PageRank lookup page's answer for a page address: the sentence "Your
// pagerank is:" with the value, 0 to 10, in a coloured font. A few addresses
// get an answer without a value (a busy server, or no font at all), and a few
// a coloured text that is not a number. An empty address gives the bare form.
std::string RenderPageRankAnswer(std::string_view pageUrl);

}  // namespace veltrap
