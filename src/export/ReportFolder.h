#pragma once

#include "base/Result.h"
#include "engine/RunResult.h"
#include "export/ReportTables.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrap {

// Creates the folder if needed and makes sure that every output of a run can
// be written there, so that a run is not spent on results that cannot be
// kept. Nothing already in the folder is touched. extraNames are further
// files the run will write there. A failure names the folder or file that
// failed and gives the system's reason.
Status PrepareReportFolder(const std::filesystem::path& folder,
                           const std::vector<std::string>& extraNames = {});

// Writes every output of the run into the folder, creating it if needed:
// records.json and the four report tables. All five are first written whole
// beside their places, one after the other and each as it is made, and only then do they replace
// what the folder held, so a failure leaves no file half-written and no old file lost. extra files
// (the HTML page, say) join the same set. stale names files that an earlier
// run may have left there and that this run does not write (its changes.csv
// when it has none, say); once the set is in place, each of them that exists
// is removed, so that no other run's file passes for this run's. A failure
// names the folder or file that failed and gives the system's reason.
//
// Two programs may write one folder at once. Each holds the folder's lock
// (flock on the folder itself, so that no file is added to it) while it puts
// its set in place, so that the folder always holds one run's set; a writer
// waits up to lockWait for it, and then fails saying so. Under the lock,
// the partial files of this set's names that a writer killed mid-way left
// are removed once their process is gone.
inline constexpr std::chrono::milliseconds kFolderLockWait{30000};
Status WriteReportFolder(const std::filesystem::path& folder, const RunResult& outcome,
                         const std::vector<ReportFile>& extra = {},
                         const std::vector<std::string>& stale = {},
                         std::chrono::milliseconds lockWait = kFolderLockWait);

}  // namespace veltrap
