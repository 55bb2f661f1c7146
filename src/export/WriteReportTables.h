#pragma once

#include "engine/BacklinkList.h"

#include <filesystem>
#include <string>

namespace veltrap {

// Writes the three report tabs of a finished run into an existing folder as
// overview.csv, keyphrases.csv and pages.csv, each exactly as the export writes
// that tab's grid. Stops at the first file that cannot be written, returns
// false and puts a message naming that file in error.
bool WriteReportTables(const BacklinkList& list, const std::filesystem::path& folder,
                       std::string& error);

}  // namespace veltrap
