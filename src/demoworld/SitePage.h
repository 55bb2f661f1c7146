#pragma once

#include "demoworld/DemoSite.h"

#include <string>

namespace veltrap {

// A page of the profiled site: the start page with its menu of absolute,
// relative and over-long links, or an inner page, each with the link partners
// the site lists there.
std::string RenderSitePage(const DemoSite& site, const DemoSitePage& page);

}  // namespace veltrap
