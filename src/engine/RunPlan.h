#pragma once

#include "engine/DisavowList.h"
#include "engine/RunServices.h"
#include "engine/ServiceConfig.h"
#include "services/backlinkimport/ImportedBacklinks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrap {

// What one run is asked to do.
struct RunRequest {
    std::string siteText;  // the address as the user typed it
    int maxBacklinkPages = 10;
    int maxRankingPages = 10;
    // Backlinks read from exported files; when set, they take the place of
    // the configured backlink source, and the backlink page limit does not
    // apply.
    std::shared_ptr<const ImportedBacklinks> imported = nullptr;
    // Linking pages the site's latest stored run kept, examined after the
    // list's own pages when the list does not hold them, so that a page the
    // source stopped listing is still verified. They do not count among the
    // backlinks the source found.
    std::vector<std::string> recheck = {};
    // The pages the user disavowed; none marks nothing.
    std::shared_ptr<const DisavowList> disavow = nullptr;
};

// A run ready to go: its request, the services it reads and the limits it
// keeps to, all checked before anything is sent.
struct RunPlan {
    RunRequest request;
    RunServices services;
    int jobs = 1;
    std::int64_t maxSitePages = 0;

    // The plan of a request on the services built for the configuration
    // (RunServices::Make), with the imported backlinks in place of the
    // configured source when the request has them.
    static RunPlan Make(RunRequest request, RunServices services, const ServiceConfig& config);
};

}  // namespace veltrap
