#include "services/siteexplorer/SiteExplorerService.h"

#include "demoworld/DemoHosts.h"
#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWorld.h"
#include "demoworld/ResultQuery.h"
#include "services/siteexplorer/SiteExplorerPage.h"
#include "services/siteexplorer/SiteExplorerSource.h"

namespace veltrap {
namespace {

DemoAnswer AnswerDemo(const DemoRequest& request, const DemoWorld& world) {
    if (request.path != "/search") {
        return request.path == "/" ? DemoAnswer::Html(RenderSiteExplorerPage(nullptr, "", 1))
                                   : DemoAnswer::NotFound(request.path);
    }
    const ResultQuery parsed = ResultQuery::Parse(request.query, "p", "bwm", "b");
    const std::string identity = SiteIdentity(parsed.lead);
    if (identity.empty()) {
        return DemoAnswer::Html(RenderSiteExplorerPage(nullptr, "", 1));
    }
    return DemoAnswer::Html(RenderSiteExplorerPage(world.Site(identity).get(), parsed.lead,
                                                   parsed.hasPage ? parsed.page : 1));
}

}  // namespace

ServiceDescriptor SiteExplorerService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kBacklinks;
    service.name = SiteExplorerSource::kName;
    service.title = "Site Explorer";
    service.makeSource = [](const ServiceContext& context) {
        return std::make_unique<SiteExplorerSource>(context.endpoints);
    };
    service.addDemoRoutes = [](DemoRoutes& routes) {
        routes.Add(std::string(kDemoSiteExplorerHost), &AnswerDemo);
    };
    service.pointAtDemo = [](ServiceEndpoints& endpoints, ServiceSettings&) {
        endpoints.siteExplorerHost = std::string(kDemoSiteExplorerHost);
        endpoints.siteExplorerNextMarker = std::string(kDemoNextMarker);
    };
    return service;
}

}  // namespace veltrap
