#pragma once

#include "demoworld/DemoSite.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The demo SearXNG's JSON for result page pageNumber (from 1) of a query,
// ten results a page. The results are those of the first engine named that
// the demo plays ("google", "yahoo" or "bing"); engines it does not play find
// nothing. For a few queries the engine answers with a CAPTCHA instead, which
// SearXNG lists under unresponsive_engines. site is the site the query names,
// or null.
std::string RenderSearxngResults(std::string_view query, const std::vector<std::string>& engines,
                                 long pageNumber, const DemoSite* site);

}  // namespace veltrap
