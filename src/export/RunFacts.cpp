#include "export/RunFacts.h"

#include "base/UtcTimestamp.h"

#include <string>
#include <utility>

namespace veltrap {

HtmlReportFacts RunFacts(const RunRequest& request, const ServiceConfig& config,
                         std::chrono::system_clock::time_point madeAt) {
    using Role = ServiceConfig::Role;
    // UTC, so that reports made in different places compare.
    return RunFacts(UtcMinute(madeAt),
                    {config.Chosen(Role::kBacklinks), config.Chosen(Role::kAuthority),
                     config.Chosen(Role::kSearch)},
                    request.maxBacklinkPages, request.maxRankingPages, config.http.jobs);
}

HtmlReportFacts RunFacts(std::string madeAt, const std::array<std::string, 3>& services,
                         int backlinkPages, int rankingPages, int jobs) {
    HtmlReportFacts facts;
    facts.madeAt = std::move(madeAt);
    facts.services = {"Backlinks: " + services[0], "Authority: " + services[1],
                      "Search: " + services[2]};
    facts.limits = {"Backlink pages: " + std::to_string(backlinkPages),
                    "Ranking pages: " + std::to_string(rankingPages),
                    "Jobs: " + std::to_string(jobs)};
    return facts;
}

}  // namespace veltrap
