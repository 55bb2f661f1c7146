#pragma once

#include "engine/RunShared.h"
#include "engine/ServiceConfig.h"

#include <cstddef>
#include <functional>
#include <string>

namespace veltrap {

// What one run is asked to do.
struct RunRequest {
    std::string siteText;  // the address as the user typed it
    int maxBacklinkPages = 10;
    int maxRankingPages = 10;
};

// Optional observers of a run, called on the worker's thread.
struct RunProgress {
    // Each status line, as it is written to the shared status text.
    std::function<void(const std::string& line)> status;
    // Before each record is examined: its 0-based position and the list size.
    std::function<void(std::size_t index, std::size_t total)> record;
};

// The whole report run: backlink discovery, then every record in turn. The
// caller sets shared.runState to kRunStarted first; the run stops at its cancel
// checks once runState reads kRunCancelled (or kRunIdle), and sets kRunIdle at
// a complete end.
void RunReport(const RunRequest& request, const ServiceConfig& config, RunShared& shared,
               const RunProgress& progress = {});

}  // namespace veltrap
