#pragma once

#include "engine/RunPlan.h"
#include "engine/ServiceConfig.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrap {

// Everything one run is asked to do, as a program gathers it from its user.
struct SessionRequest {
    // The site as the user typed it and the two limits; the imported
    // backlinks are filled in from importFiles.
    RunRequest run;
    // Exported backlink files whose addresses take the place of the
    // configured backlink source; none reads the source.
    std::vector<std::string> importFiles;
    ServiceConfig config;
    // The history the run is stored in and compared with; none keeps no
    // history. An empty path is a history nobody could place, which is told.
    std::optional<std::filesystem::path> history;
    // Whether the pages the site's latest stored run kept, and this run's
    // list does not hold, are examined too.
    bool recheckPrevious = false;
    // The user's disavow file; an empty path disavows nothing.
    std::filesystem::path disavowFile;
    // Where the outputs go; an empty path writes none.
    std::filesystem::path outFolder;  // records.json, the tables, report.html, changes.csv
    std::filesystem::path htmlFile;   // the HTML report alone
};

}  // namespace veltrap
