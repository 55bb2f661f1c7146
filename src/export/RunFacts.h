#pragma once

#include "engine/RunPlan.h"
#include "engine/ServiceConfig.h"
#include "export/HtmlReport.h"

#include <array>
#include <chrono>
#include <string>

namespace veltrap {

// What the HTML report of a run tells beside its result: madeAt as UTC date
// and time, the service chosen for each role and the limits the run was
// given. The window and veltrap-report both take them from here, so a report
// saved from the window reads like one written by the headless program.
HtmlReportFacts RunFacts(const RunRequest& request, const ServiceConfig& config,
                         std::chrono::system_clock::time_point madeAt);

// The same facts of a run told by its parts: madeAt as it is to be shown, the
// names of the backlink, authority and search services, and the limits.
HtmlReportFacts RunFacts(std::string madeAt, const std::array<std::string, 3>& services,
                         int backlinkPages, int rankingPages, int jobs);

}  // namespace veltrap
