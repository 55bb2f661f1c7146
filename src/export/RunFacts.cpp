#include "export/RunFacts.h"

#include <string>

namespace veltrap {

HtmlReportFacts RunFacts(const RunRequest& request, const ServiceConfig& config,
                         std::time_t madeAt) {
    HtmlReportFacts facts;
    // UTC, so that reports made in different places compare.
    std::tm utc{};
    char text[32] = {};
    if (gmtime_r(&madeAt, &utc) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    }
    facts.madeAt = text;
    using Role = ServiceConfig::Role;
    facts.services = {"Backlinks: " + config.Chosen(Role::kBacklinks),
                      "Authority: " + config.Chosen(Role::kAuthority),
                      "Search: " + config.Chosen(Role::kSearch)};
    facts.limits = {"Backlink pages: " + std::to_string(request.maxBacklinkPages),
                    "Ranking pages: " + std::to_string(request.maxRankingPages),
                    "Jobs: " + std::to_string(config.http.jobs)};
    return facts;
}

}  // namespace veltrap
