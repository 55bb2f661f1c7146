#pragma once

#include "base/Result.h"
#include "session/FinishedReport.h"

#include <filesystem>

namespace veltrap {

// The one writer of a finished run's files, for veltrap-report's --out and
// --html and the window's Export All and Save Report as HTML alike, so that
// they always write the same files in the same way.
class ReportOutputs {
public:
    // Makes sure, before a run is spent, that its outputs can be written:
    // every file of the folder is tried in it, and the HTML file's folder
    // must be there. An empty path asks for nothing.
    static Status Prepare(const std::filesystem::path& folder, const std::filesystem::path& html);
    // Writes records.json, the four tables, report.html and changes.csv into
    // the folder, every one or none. A run without changes to tell removes a
    // changes.csv an earlier run left, which would pass for this run's.
    static Status WriteFolder(const std::filesystem::path& folder, const FinishedReport& report);
    // Writes the HTML report to one file, replacing it whole.
    static Status WriteHtml(const std::filesystem::path& file, const FinishedReport& report);
    // The folder, then the HTML file, for each path that is not empty.
    static Status Write(const std::filesystem::path& folder, const std::filesystem::path& html,
                        const FinishedReport& report);
};

}  // namespace veltrap
