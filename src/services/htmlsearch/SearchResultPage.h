#pragma once

#include "demoworld/DemoSearch.h"

#include <string>
#include <string_view>

namespace veltrap {

// One result page of a demo search engine, ten results to a page, in that
// engine's own markup. start is the value of the engine's paging key as it
// came in (Google counts from 0, Yahoo and MSN from 1). site is the site the
// query names, or null.
std::string RenderSearchPage(DemoEngine engine, std::string_view query, long start,
                             const DemoSite* site);

}  // namespace veltrap
