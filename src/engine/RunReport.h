#pragma once

#include "engine/RunContext.h"
#include "engine/RunPlan.h"
#include "engine/RunResult.h"

namespace veltrap {

// The whole report run: backlink discovery, then every record, up to
// plan.jobs of them side by side, and with more than one job each record's
// lookups side by side too. Whatever the number of jobs, the list, its
// order and every field come out as with one job, since each record depends
// on its own pages alone. The run observes context.stop between its steps:
// a cancel ends it where its records would begin, or at the next step of
// each record under way; what was filled stays, and the result says the run
// was cancelled.
RunResult RunReport(RunPlan& plan, const RunContext& context);

}  // namespace veltrap
