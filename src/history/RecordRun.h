#pragma once

#include "engine/RunPlan.h"
#include "engine/RunResult.h"
#include "engine/ServiceConfig.h"
#include "export/HtmlReport.h"
#include "history/HistoryRun.h"
#include "history/HistoryStore.h"
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

// What each of the site's runs up to upToId gained and lost against the run
// before it, oldest first, the latest kChartedRuns of them. The oldest
// stored run has nothing to be compared with and counts everything it kept
// as gained. What cannot be read is told in problems, and charts nothing.
std::vector<HtmlRunChanges> ChartedRuns(HistoryStore& store, const std::string& siteKey,
                                        std::int64_t upToId, std::vector<std::string>& problems);

// What the history keeps of the run a request starts: its limits, the
// services chosen and where its list comes from. The caller adds its site,
// its times and how it ended.
HistoryRun RunToStore(const RunRequest& request, const ServiceConfig& config);

}  // namespace veltrap
