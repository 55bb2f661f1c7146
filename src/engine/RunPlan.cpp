#include "engine/RunPlan.h"

#include "services/backlinkimport/ImportSource.h"

#include <utility>

namespace veltrap {

RunPlan RunPlan::Make(RunRequest request, RunServices services, const ServiceConfig& config) {
    RunPlan plan{std::move(request), std::move(services), config.http.jobs,
                 config.http.maxSitePages};
    if (plan.request.imported) {
        plan.services.source = std::make_unique<ImportSource>(plan.request.imported);
    }
    return plan;
}

}  // namespace veltrap
