#pragma once

#include "demo/world/DemoSite.h"

#include <cstddef>
#include <optional>
#include <string>

namespace veltrap {

// The page of backlink result number index of a site, as its author wrote it.
// Null when that result is not a linking page (a page of the site itself, or
// an index past the last result).
std::optional<std::string> RenderLinkingPage(const DemoSite& site, std::size_t index);

}  // namespace veltrap
