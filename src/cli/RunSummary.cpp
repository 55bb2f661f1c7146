#include "cli/RunSummary.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"

#include <set>

namespace veltrap {

std::string RunSummary(const RunResult& outcome) {
    std::set<std::string> keyphrases;
    std::set<std::string> pages;
    int reciprocal = 0;
    for (const BacklinkRecord& record : outcome.records) {
        // Records the run did not reach have no keyphrase yet.
        if (record.anchorText.empty()) {
            continue;
        }
        keyphrases.insert(LowerAscii(record.anchorText));
        pages.insert(LowerAscii(record.href));
        reciprocal += record.reciprocal ? 1 : 0;
    }
    std::string text = "Site: " + outcome.siteKey + "\n";
    text += "Backlinks found: " + std::to_string(outcome.backlinkCount) + "\n";
    text += "Linking pages kept: " + std::to_string(outcome.records.size()) + "\n";
    text += "Keyphrases: " + std::to_string(keyphrases.size()) + "\n";
    text += "Pages linked to: " + std::to_string(pages.size()) + "\n";
    text += "Reciprocal links: " + std::to_string(reciprocal) + "\n";
    if (const std::int64_t disavowed = outcome.DisavowedCount(); disavowed > 0) {
        text += "Disavowed: " + std::to_string(disavowed) + "\n";
    }
    text += "Requests sent: " + std::to_string(outcome.requests) + "\n";
    if (const std::string problem = outcome.DiscoveryProblem(); !problem.empty()) {
        text += problem + "\n";
    }
    const std::string failures = outcome.FailureLine();
    text += (failures.empty() ? "Failed lookups: 0" : failures) + "\n";
    if (outcome.cancelled) {
        text += "The run was cancelled before its end.\n";
    }
    return text;
}

}  // namespace veltrap
