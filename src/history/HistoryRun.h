#pragma once

#include <cstdint>
#include <string>

namespace veltrap {

// What the history keeps about a run beside its records: when it ran, how it
// ended, with which limits and services, and how many records it kept and
// removed. The result itself (records, counts, failures) travels as a
// RunResult.
struct HistoryRun {
    std::int64_t id = 0;  // given by the store; 0 before the run is stored
    std::string siteKey;
    std::string startedAt;  // UTC, ISO 8601 ("2026-12-09T09:40:05Z")
    std::string endedAt;
    bool cancelled = false;
    std::int32_t backlinkPages = 0;
    std::int32_t rankingPages = 0;
    std::int32_t jobs = 0;
    // The names of the services chosen for each role.
    std::string backlinkService;
    std::string authorityService;
    std::string searchService;
    // Where the run's list of linking pages came from: the backlink
    // source's name, or "import of 2 files". A run whose list was not the
    // source's whole list cannot tell that a page it did not hold is lost.
    std::string listSource;
    // Filled by the store when a run is listed or loaded.
    std::int64_t kept = 0;
    std::int64_t removed = 0;
};

}  // namespace veltrap
