#include "engine/RunResult.h"

namespace veltrap {

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

}  // namespace veltrap
