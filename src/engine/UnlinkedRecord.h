#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace veltrap {

// A record the run removed, and why, so that a lost link is reported rather
// than vanishing from the report.
struct UnlinkedRecord {
    std::string url;
    // "own-site", "not-found" (the page answered without a link to the site),
    // "gone" (404 or 410), "error" (another failed answer), "unreachable" or
    // "unrendered" (the browser that was to read it again failed).
    std::string linkStatus;
    std::int32_t httpStatus = 0;  // 0 without an answer, and for pages not fetched
    // How many kept records come before it in the run's list, which places it
    // among them.
    std::size_t keptBefore = 0;
    // Whether the page was read as a browser showed it.
    bool rendered = false;
};

}  // namespace veltrap
