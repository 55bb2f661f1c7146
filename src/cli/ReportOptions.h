#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace veltrap {

// What veltrap-report's command line asks for.
struct ReportOptions {
    std::string configPath;
    std::string connectTo;
    std::optional<int> backlinkPages;
    std::optional<int> rankingPages;
    std::optional<int> jobs;
    std::string outFolder;
    std::string htmlFile;
    bool demo = false;
    int demoLatencyMs = 0;
    int demoSize = 0;
    bool quiet = false;
    std::vector<std::string> importFiles;
    bool printConfig = false;
    std::string historyFile;
    bool noHistory = false;
    std::string historyListSite;
    std::string changesSite;
    bool recheckPrevious = false;
    bool alertOnLost = false;
    bool notify = false;
    std::string disavowFile;
    std::string site;

    // Reads the command line. Answers the exit code when the program ends
    // here: after printing the help or the version (0), or after telling on
    // err what is wrong with the line (2).
    std::optional<int> Parse(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);
    // --history-list or --changes, which read the history and run nothing.
    bool ShowsHistory() const { return !historyListSite.empty() || !changesSite.empty(); }
};

}  // namespace veltrap
