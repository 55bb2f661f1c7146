#pragma once

#include "base/Result.h"
#include "base/TextSink.h"
#include "engine/RunResult.h"
#include "report/ReportGrid.h"

#include <cstdint>

#include <filesystem>
#include <string>
#include <vector>

namespace veltrap {

// What the report tells beside the run's result: when it was made, which
// service served each role and the limits the run kept to.
struct HtmlReportFacts {
    std::string madeAt;                 // the date and time, as it is to be shown
    std::vector<std::string> services;  // "Authority: pagerank-page", ...
    std::vector<std::string> limits;    // "Backlink pages: 2", ...
};

// How many links one stored run of the site gained and lost against the run
// before it.
struct HtmlRunChanges {
    std::string startedAt;  // as stored (ISO 8601); shown as people read times
    std::int64_t gained = 0;
    std::int64_t lost = 0;
};

// What the site's history of runs adds to the report. Without stored runs it
// adds nothing.
struct HtmlHistory {
    // The site's runs, oldest first, this one last.
    std::vector<HtmlRunChanges> runs;
    // The changes since the previous run, one row per changed field, as
    // changes.csv holds them; left unconfigured when there is no previous run.
    ReportGrid changes;
};

// The run as one HTML page that needs nothing else: the header, the charts
// as inline SVG and the four tables, with inline CSS, no script and no
// address to load. Every text from a page or a service is escaped. A table
// longer than kHtmlTableRows shows its first rows and names the CSV file
// holding all of them. Written a part at a time.
void WriteHtmlReport(const RunResult& outcome, const HtmlReportFacts& facts,
                     const HtmlHistory& history, TextSink& sink);
// The same, whole.
std::string HtmlReport(const RunResult& outcome, const HtmlReportFacts& facts,
                       const HtmlHistory& history = {});

inline constexpr int kHtmlTableRows = 2000;

// Writes HtmlReport to path, replacing it whole. A failure names the file.
Status WriteHtmlReport(const std::filesystem::path& path, const RunResult& outcome,
                       const HtmlReportFacts& facts, const HtmlHistory& history = {});

}  // namespace veltrap
