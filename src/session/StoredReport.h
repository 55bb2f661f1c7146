#pragma once

#include "base/Result.h"
#include "history/HistoryRun.h"
#include "session/FinishedReport.h"

#include <cstdint>
#include <filesystem>

namespace veltrap {

// A run read back from the history, ready to be shown and written out as if
// it had just ended; nothing is fetched.
struct StoredReport {
    HistoryRun run;
    FinishedReport report;

    // Loads run id of the history file, with what changed since the site's
    // run stored before it, when there is one.
    static Result<StoredReport> Load(const std::filesystem::path& file, std::int64_t id);
};

}  // namespace veltrap
