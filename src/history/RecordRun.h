#pragma once

#include "engine/RunPlan.h"
#include "engine/RunResult.h"
#include "engine/ServiceConfig.h"
#include "export/HtmlReport.h"
#include "history/HistoryRun.h"
#include "history/RunChanges.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrap {

// What storing an ended run in the history gave.
struct RecordedRun {
    // The changes since the site's previous run, when there is one to
    // compare with.
    std::optional<RunChanges> changes;
    // The site's latest runs with what each gained and lost, and the changes
    // as a table, for the HTML report.
    HtmlHistory report;
    // What went wrong, a line each, for the user. The history is never a
    // reason to lose the report, so none of it stops anything.
    std::vector<std::string> problems;
};

// How many of the site's latest runs the HTML report charts.
inline constexpr int kChartedRuns = 10;

// Compares the ended run with the site's previous run in the history file
// and then stores it. A run whose backlink source failed saw almost nothing,
// and every page it did not see would pass for a lost link, so it is stored
// but compared with nothing.
RecordedRun RecordRun(const std::filesystem::path& file, const HistoryRun& run,
                      const RunResult& outcome);

// What the history keeps of the run a request starts: its limits and the
// services chosen. The caller adds its site, its times and how it ended.
HistoryRun RunToStore(const RunRequest& request, const ServiceConfig& config);

}  // namespace veltrap
