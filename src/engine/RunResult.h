#pragma once

#include "engine/BacklinkList.h"
#include "engine/LookupServices.h"
#include "engine/UnlinkedRecord.h"
#include "services/BacklinkSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrap {

// How many lookups of one service failed in a run, and the first reason.
struct ServiceFailures {
    std::string service;
    int count = 0;
    std::string firstReason;
};

// What a finished or cancelled run leaves for the outputs. What was found,
// what was not found and what failed stay apart: a failed lookup is listed
// in its record's failures and counted here, and a backlink source that
// failed is told, rather than passing for a site without backlinks.
struct RunResult {
    std::string siteKey;
    std::string backlinkSource;  // the name of the source that was read
    std::int32_t backlinkCount = 0;
    std::int64_t requests = 0;  // HTTP requests actually sent
    bool cancelled = false;
    DiscoveryOutcome discovery;
    std::vector<ServiceFailures> failures;  // services with at least one failure
    BacklinkList records;
    // The records the run removed, in list order.
    std::vector<UnlinkedRecord> unlinked;
    // The service each looked-up field was asked of, for telling a failed
    // lookup where it is shown.
    LookupServices lookupServices;

    int FailureCount() const;
    // How many records, kept and removed, the user's disavow file names.
    std::int64_t DisavowedCount() const;
    // "Backlink source siteexplorer failed on page 1: no answer (...)", or ""
    // when the source did not fail.
    std::string DiscoveryProblem() const;
    // Whether the backlink source failed before it gave anything: its first
    // request found no answer it could read, which is where a person whose
    // source is gone, unreachable or unset up ends on a first run.
    bool SourceFailedAtStart() const;
    // "Failed lookups: pagerank-page 12 (HTTP 503), google 1 (...)", or ""
    // when none failed.
    std::string FailureLine() const;
    // "Done: 154 backlinks found, 113 kept, 0 failures, in 4.3 s": the line
    // that sums up a run that took the given number of milliseconds.
    std::string DoneLine(std::int64_t milliseconds) const;
};

}  // namespace veltrap
