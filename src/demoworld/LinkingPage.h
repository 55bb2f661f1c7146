#pragma once

#include "demoworld/DemoAnswer.h"
#include "demoworld/DemoSite.h"

#include <cstddef>
#include <optional>
#include <string>

namespace veltrap {

// The answer for backlink result number index of a site: the page as its
// author wrote it, with its rel values, robots tags and canonical address, or
// the error page of a page that is gone or failing. Null when that result is
// not a linking page (a page of the site itself, or an index past the last
// result).
std::optional<DemoAnswer> RenderLinkingPage(const DemoSite& site, std::size_t index);

}  // namespace veltrap
