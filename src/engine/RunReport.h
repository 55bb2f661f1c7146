#pragma once

#include "engine/RunEvents.h"
#include "engine/RunResult.h"
#include "engine/RunShared.h"
#include "engine/ServiceConfig.h"
#include "services/backlinkimport/ImportedBacklinks.h"

#include <memory>
#include <string>

namespace veltrap {

// What one run is asked to do.
struct RunRequest {
    std::string siteText;  // the address as the user typed it
    int maxBacklinkPages = 10;
    int maxRankingPages = 10;
    // Backlinks read from exported files; when set, they take the place of
    // the configured backlink source, and the backlink page limit does not
    // apply.
    std::shared_ptr<const ImportedBacklinks> imported = nullptr;
};

// The whole report run: backlink discovery, then every record, up to
// config.http.jobs of them side by side. Whatever the number of jobs, the
// list, its order and every field come out as with one job, since each record
// depends on its own pages alone. The caller sets shared.runState to
// kRunStarted first; the run stops once runState reads kRunCancelled (or
// kRunIdle), and sets kRunIdle at a complete end. The result is also stored in
// shared before the state turns idle.
RunResult RunReport(const RunRequest& request, const ServiceConfig& config, RunShared& shared,
                    const RunEvents& events = {});

}  // namespace veltrap
