#pragma once

#include "engine/RunResult.h"
#include "export/ReportTables.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltrap {

// What became of a report folder: ok, or a message naming the folder or file
// that failed and giving the system's reason.
struct ReportFolderResult {
    std::string error;
    bool ok() const { return error.empty(); }
};

// Creates the folder if needed and makes sure that every output of a run can
// be written there, so that a run is not spent on results that cannot be
// kept. Nothing already in the folder is touched. extraNames are further
// files the run will write there.
ReportFolderResult PrepareReportFolder(const std::filesystem::path& folder,
                                       const std::vector<std::string>& extraNames = {});

// Writes every output of the run into the folder, creating it if needed:
// records.json and the four report tables. All five are first written whole
// beside their places, and only then do they replace what the folder held,
// so a failure leaves no file half-written and no old file lost. extra files
// (the HTML page, say) join the same set.
ReportFolderResult WriteReportFolder(const std::filesystem::path& folder, const RunResult& outcome,
                                     const std::vector<ReportFile>& extra = {});

}  // namespace veltrap
