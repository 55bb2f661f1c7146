#pragma once

#include "engine/BacklinkList.h"
#include "engine/UnlinkedRecord.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltrap {

// Writes the four report tabs of a finished run into an existing folder as
// overview.csv, keyphrases.csv, pages.csv and links.csv, each exactly as the
// export writes that tab's grid; unlinked are the records the run removed.
// Stops at the first file that cannot be written, returns false and puts a
// message naming that file in error.
bool WriteReportTables(const BacklinkList& list, const std::vector<UnlinkedRecord>& unlinked,
                       const std::filesystem::path& folder, std::string& error);

}  // namespace veltrap
