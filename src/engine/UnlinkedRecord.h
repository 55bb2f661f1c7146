#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// A record the run removed, and why, so that a lost link is reported rather
// than vanishing from the report.
struct UnlinkedRecord {
    std::string url;
    // "own-site", "not-found" (the page answered without a link to the site),
    // "gone" (404 or 410), "blocked" (401, 403, 407, 429 or 451), "cut-short"
    // (the answer ended early and its part holds no link), "error" (another
    // failed answer), "unreachable" or "unrendered" (the browser that was to
    // read it again failed).
    std::string linkStatus;
    std::int32_t httpStatus = 0;  // 0 without an answer, and for pages not fetched
    // How many kept records come before it in the run's list, which places it
    // among them.
    std::size_t keptBefore = 0;
    // Whether the page was read as a browser showed it.
    bool rendered = false;
    // Whether the user's disavow file names the linking page or its domain.
    bool disavowed = false;
};

// Whether a removed record's status verifies that its link is gone: the
// page was read whole, without the link, or the server said the page is no
// more. Every other status ("unreachable", "blocked", "cut-short", "error"
// and any added later) leaves the absence unverified.
inline bool VerifiedAbsence(std::string_view linkStatus) {
    return linkStatus == "not-found" || linkStatus == "gone";
}

}  // namespace veltrap
