#include "engine/ServiceCatalog.h"

#include "services/bingwebmaster/BingWebmasterService.h"
#include "services/dataforseo/DataForSeoService.h"
#include "services/htmlsearch/HtmlSearchService.h"
#include "services/openpagerank/OpenPageRankService.h"
#include "services/pagerankpage/PageRankPageService.h"
#include "services/searxng/SearxngService.h"
#include "services/siteexplorer/SiteExplorerService.h"

namespace veltrap {

ServiceCatalog::ServiceCatalog()
    : services_{
          SiteExplorerService(),   // backlinks
          PageRankPageService(),   // authority, the default
          HtmlSearchService(),     // search, the default
          OpenPageRankService(),   // authority
          SearxngService(),        // search
          BingWebmasterService(),  // backlinks
          DataForSeoService(),     // backlinks
      } {}

const ServiceCatalog& ServiceCatalog::Default() {
    static const ServiceCatalog catalog;
    return catalog;
}

const ServiceDescriptor* ServiceCatalog::Find(Role role, std::string_view name) const {
    for (const ServiceDescriptor& service : services_) {
        if (service.role == role && service.name == name) {
            return &service;
        }
    }
    return nullptr;
}

std::vector<std::string> ServiceCatalog::Names(Role role) const {
    std::vector<std::string> names;
    for (const ServiceDescriptor& service : services_) {
        if (service.role == role) {
            names.push_back(service.name);
        }
    }
    return names;
}

ServiceCatalog::Choice ServiceCatalog::ChoiceOf(Role role) {
    switch (role) {
        case Role::kBacklinks:
            return {"backlinks", "source", "siteexplorer"};
        case Role::kAuthority:
            return {"authority", "provider", "pagerank-page"};
        case Role::kSearch:
            break;
    }
    return {"search", "provider", "html"};
}

}  // namespace veltrap
