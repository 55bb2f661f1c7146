#pragma once

#include "engine/RunResult.h"
#include "export/HtmlReport.h"
#include "history/RunChanges.h"

#include <memory>
#include <optional>

namespace veltrap {

// A run that has ended, completed or cancelled, with what its outputs tell
// beside its records. Plain and read-only once made: the programs show it
// and write it out without touching the run that made it.
struct FinishedReport {
    std::shared_ptr<const RunResult> result;
    HtmlReportFacts facts;
    // What the site's history of runs adds to the HTML report.
    HtmlHistory history;
    // What changed since the site's previous run, when there is one to
    // compare with.
    std::optional<RunChanges> changes;
};

}  // namespace veltrap
