#pragma once

#include "base/TextSink.h"
#include "engine/BacklinkList.h"
#include "engine/UnlinkedRecord.h"

#include <functional>
#include <string>
#include <vector>

namespace veltrap {

// One output file of a finished run: its name inside the report folder and
// how its bytes are written. The bytes are made only when they are written,
// so that the files of a large run are never all in memory at once; what
// write reads must outlive the file.
struct ReportFile {
    std::string name;
    std::function<void(TextSink& sink)> write;

    // The bytes whole.
    std::string Bytes() const;
};

// The four report tabs of a finished run as overview.csv, keyphrases.csv,
// pages.csv and links.csv, in that order, each exactly as the export writes
// that tab's grid; unlinked are the records the run removed. Each table is
// filled when its file is written and let go of after it.
std::vector<ReportFile> ReportTables(const BacklinkList& list,
                                     const std::vector<UnlinkedRecord>& unlinked);

}  // namespace veltrap
