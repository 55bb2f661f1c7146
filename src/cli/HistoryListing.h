#pragma once

#include "cli/CommandOutput.h"
#include "cli/ReportOptions.h"

#include <filesystem>

namespace veltrap {

// --history-list and --changes: what the history holds of a site, read and
// printed without running anything.
class HistoryListing {
public:
    explicit HistoryListing(CommandOutput& output) : output_(output) {}

    // Prints the site's stored runs, or the changes between its two latest,
    // and answers the exit code.
    int Show(const ReportOptions& options);
    // The history file the options name, or the user's own.
    static std::filesystem::path FileOf(const ReportOptions& options);

private:
    CommandOutput& output_;
};

}  // namespace veltrap
