#pragma once

#include "engine/RunReport.h"
#include "engine/ServiceConfig.h"
#include "export/HtmlReport.h"

#include <ctime>

namespace veltrap {

// What the HTML report of a run tells beside its result: madeAt as UTC date
// and time, the service chosen for each role and the limits the run was
// given. The window and veltrap-report both take them from here, so a report
// saved from the window reads like one written by the headless program.
HtmlReportFacts RunFacts(const RunRequest& request, const ServiceConfig& config,
                         std::time_t madeAt);

}  // namespace veltrap
