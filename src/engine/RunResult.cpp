#include "engine/RunResult.h"

#include <algorithm>
#include <string>

namespace veltrap {

namespace {

std::string Counted(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::int64_t RunResult::DisavowedCount() const {
    std::int64_t count = 0;
    for (const BacklinkRecord& record : records) {
        count += record.disavowed ? 1 : 0;
    }
    for (const UnlinkedRecord& record : unlinked) {
        count += record.disavowed ? 1 : 0;
    }
    return count;
}

int RunResult::FailureCount() const {
    int count = 0;
    for (const ServiceFailures& service : failures) {
        count += service.count;
    }
    return count;
}

std::string RunResult::DiscoveryProblem() const {
    if (!discovery.failed) {
        return {};
    }
    std::string text = "Backlink source " + backlinkSource + " failed on page " +
                       std::to_string(discovery.failedPage) + ": " + discovery.reason;
    if (discovery.failedPage > 1) {
        text += "; the backlinks of the pages before it are kept";
    }
    return text;
}

bool RunResult::SourceFailedAtStart() const {
    return discovery.failed && discovery.failedPage == 1;
}

std::string RunResult::FailureLine() const {
    if (failures.empty()) {
        return {};
    }
    std::string text = "Failed lookups:";
    const char* separator = " ";
    for (const ServiceFailures& service : failures) {
        text += separator + service.service + " " + std::to_string(service.count) + " (" +
                service.firstReason + ")";
        separator = ", ";
    }
    return text;
}

std::string RunResult::DoneLine(std::int64_t milliseconds) const {
    // Tenths of a second, rounded, written without the locale's decimal mark.
    const std::int64_t tenths = (std::max<std::int64_t>(milliseconds, 0) + 50) / 100;
    return "Done: " + Counted(backlinkCount, "backlink", "backlinks") + " found, " +
           std::to_string(records.size()) + " kept, " +
           Counted(FailureCount(), "failure", "failures") + ", in " + std::to_string(tenths / 10) +
           "." + std::to_string(tenths % 10) + " s";
}

}  // namespace veltrap
