#include "engine/RunServices.h"

#include "engine/ServiceCatalog.h"

namespace veltrap {

Result<RunServices> RunServices::Make(const ServiceConfig& config) {
    using Role = ServiceDescriptor::Role;
    if (Status checked = config.CheckServices(); !checked) {
        return checked.failure();
    }
    const ServiceCatalog& catalog = ServiceCatalog::Default();
    const ServiceContext context = config.Context();
    const ServiceDescriptor* source =
        catalog.Find(Role::kBacklinks, config.Chosen(Role::kBacklinks));
    const ServiceDescriptor* authority =
        catalog.Find(Role::kAuthority, config.Chosen(Role::kAuthority));
    const ServiceDescriptor* search = catalog.Find(Role::kSearch, config.Chosen(Role::kSearch));
    RunServices made;
    made.source = source->makeSource(context);
    made.authority = authority->makeAuthority(context);
    for (const RankColumn column : kRankColumns) {
        made.ranks[static_cast<std::size_t>(column)] = search->makeRank(context, column);
    }
    return made;
}

}  // namespace veltrap
