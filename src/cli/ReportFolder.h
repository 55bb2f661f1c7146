#pragma once

#include "engine/RunResult.h"

#include <filesystem>
#include <string>

namespace veltrap {

// Creates the output folder if needed and makes sure a file can be written
// there, so that a run is not spent on results that cannot be kept. On failure
// returns false with a message naming the folder in error.
bool PrepareReportFolder(const std::filesystem::path& folder, std::string& error);

// Writes every output of the run into the folder: records.json, replaced whole
// so that a reader never sees half a file, and the four report tables. On
// failure returns false with a message naming the file in error.
bool WriteReportFolder(const std::filesystem::path& folder, const RunResult& outcome,
                       std::string& error);

}  // namespace veltrap
