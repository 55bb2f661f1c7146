#include "services/htmlsearch/HtmlSearchService.h"

#include "demoworld/DemoHosts.h"
#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoSearch.h"
#include "demoworld/DemoWorld.h"
#include "demoworld/ResultQuery.h"
#include "services/htmlsearch/HtmlRankProvider.h"
#include "services/htmlsearch/SearchResultPage.h"

namespace veltrap {
namespace {

struct EngineRoute {
    std::string_view host;
    DemoEngine engine;
    std::string_view path;
    std::string_view queryKey;
    std::string_view pageKey;
};

constexpr EngineRoute kEngines[] = {
    {kDemoGoogleHost, DemoEngine::kGoogle, "/search", "q", "start"},
    {kDemoYahooHost, DemoEngine::kYahoo, "/search", "p", "b"},
    {kDemoMsnHost, DemoEngine::kMsn, "/results.aspx", "q", "first"},
};

DemoAnswer AnswerDemo(const EngineRoute& route, const DemoRequest& request,
                      const DemoWorld& world) {
    if (request.path != route.path && request.path != "/") {
        return DemoAnswer::NotFound(request.path);
    }
    const ResultQuery parsed =
        ResultQuery::Parse(request.query, route.queryKey, route.pageKey, route.pageKey);
    const std::string named = DemoSearch::NamedSite(parsed.lead);
    const auto site = named.empty() ? nullptr : world.Site(named);
    return DemoAnswer::Html(RenderSearchPage(route.engine, parsed.lead, parsed.page, site.get()));
}

}  // namespace

ServiceDescriptor HtmlSearchService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kSearch;
    service.name = HtmlRankProvider::kName;
    service.title = "The HTML result pages";
    service.makeRank = [](const ServiceContext& context, RankColumn column) {
        return std::make_unique<HtmlRankProvider>(context.endpoints, column);
    };
    service.addDemoRoutes = [](DemoRoutes& routes) {
        for (const EngineRoute& route : kEngines) {
            routes.Add(std::string(route.host),
                       [&route](const DemoRequest& request, const DemoWorld& world) {
                           return AnswerDemo(route, request, world);
                       });
        }
    };
    service.pointAtDemo = [](ServiceEndpoints& endpoints, ServiceSettings&) {
        endpoints.googleHost = std::string(kDemoGoogleHost);
        endpoints.yahooHost = std::string(kDemoYahooHost);
        endpoints.yahooNextMarker = std::string(kDemoNextMarker);
        endpoints.msnHost = std::string(kDemoMsnHost);
    };
    return service;
}

}  // namespace veltrap
