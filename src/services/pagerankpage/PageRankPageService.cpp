#include "services/pagerankpage/PageRankPageService.h"

#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoText.h"
#include "services/pagerankpage/PageRankAnswer.h"
#include "services/pagerankpage/PageRankPageProvider.h"

namespace veltrap {
namespace {

DemoAnswer AnswerDemo(const DemoRequest& request, const DemoWorld&) {
    return request.path == "/"
               ? DemoAnswer::Html(RenderPageRankAnswer(PercentDecode(request.query)))
               : DemoAnswer::NotFound(request.path);
}

}  // namespace

ServiceDescriptor PageRankPageService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kAuthority;
    service.name = PageRankPageProvider::kName;
    service.title = "The PageRank page";
    service.makeAuthority = [](const ServiceContext& context) {
        return std::make_unique<PageRankPageProvider>(context.endpoints);
    };
    service.addDemoRoutes = [](DemoRoutes& routes) {
        routes.Add(std::string(kDemoPageRankHost), &AnswerDemo);
    };
    service.pointAtDemo = [](ServiceEndpoints& endpoints, ServiceSettings&) {
        endpoints.pagerankHost = std::string(kDemoPageRankHost);
    };
    return service;
}

}  // namespace veltrap
