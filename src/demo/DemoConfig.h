#pragma once

#include "demoworld/DemoHosts.h"
#include "engine/ServiceConfig.h"
#include "services/htmlsearch/HtmlSearchService.h"
#include "services/pagerankpage/PageRankPageService.h"
#include "services/siteexplorer/SiteExplorerService.h"

#include <string>

namespace veltrap {

// A site whose demo report shows every kind of result; what `make demo` runs.
std::string DemoSiteName();

// The service hosts and markers of the demo web.
ServiceEndpoints DemoEndpoints();

// base with every service pointed at the demo web and every connection sent to
// 127.0.0.1:port; the other settings of base, and its choice of services, stay
// as they are.
ServiceConfig DemoServiceConfig(const ServiceConfig& base, int port);

// The configuration file a user needs to reach a demo web on port, with a
// comment on how to use it.
std::string DemoConfigText(int port);

}  // namespace veltrap
