#pragma once

#include "engine/BacklinkList.h"
#include "engine/UnlinkedRecord.h"

#include <string>
#include <vector>

namespace veltrap {

// One output file of a finished run: its name inside the report folder and
// the bytes it holds.
struct ReportFile {
    std::string name;
    std::string bytes;
};

// The four report tabs of a finished run as overview.csv, keyphrases.csv,
// pages.csv and links.csv, in that order, each exactly as the export writes
// that tab's grid; unlinked are the records the run removed.
std::vector<ReportFile> ReportTables(const BacklinkList& list,
                                     const std::vector<UnlinkedRecord>& unlinked);

}  // namespace veltrap
