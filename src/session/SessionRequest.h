#pragma once

#include "engine/ServiceConfig.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrap {

// Everything one run is asked to do, as a program gathers it from its user.
struct SessionRequest {
    std::string siteText;  // the address as the user typed it
    int maxBacklinkPages = 10;
    int maxRankingPages = 10;
    // Exported backlink files whose addresses take the place of the
    // configured backlink source; none reads the source.
    std::vector<std::string> importFiles;
    ServiceConfig config;
    // The history the run is stored in and compared with; none keeps no
    // history. An empty path is a history nobody could place, which is told.
    std::optional<std::filesystem::path> history;
    // Where the outputs go; an empty path writes none.
    std::filesystem::path outFolder;  // records.json, the tables, report.html, changes.csv
    std::filesystem::path htmlFile;   // the HTML report alone
};

}  // namespace veltrap
