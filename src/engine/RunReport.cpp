#include "engine/RunReport.h"

#include "engine/SiteKey.h"
#include "scrape/BacklinkPage.h"
#include "scrape/PageFetch.h"
#include "scrape/PageRank.h"
#include "scrape/Reciprocal.h"
#include "scrape/SearchRank.h"
#include "scrape/SiteLink.h"
#include "base/TextSearch.h"
#include "scrape/WebAddress.h"

#include <chrono>
#include <thread>

namespace veltrap {
namespace {

constexpr auto kPauseAfterDiscovery = std::chrono::milliseconds(200);

// Writes a status line and marks it new, unless the run has been stopped:
// then neither the line nor the state is touched, so a cancel (and the text
// that came with it) is never overwritten. Answers whether the run goes on.
bool Announce(RunShared& shared, const RunProgress& progress, const std::string& line) {
    if (!shared.PostStatus(line)) {
        return false;
    }
    if (progress.status) {
        progress.status(line);
    }
    return true;
}

// Marks the run complete. A cancel that arrived after the last record's check
// keeps its state, so whoever cancelled sees the cancel they asked for.
void Finish(RunShared& shared) {
    int state = shared.runState.load();
    while (!IsStopped(state)) {
        if (shared.runState.compare_exchange_weak(state, kRunIdle)) {
            return;
        }
    }
}

void DiscoverBacklinks(const RunRequest& request, const ServiceEndpoints& services,
                       const std::string& siteKey, RunShared& shared) {
    for (int page = 0; page < request.maxBacklinkPages; ++page) {
        BacklinkPage found = ReadBacklinkPage(
            FetchPageText(shared.Session(), BacklinkPageAddress(services, siteKey, page)),
            services.siteExplorerNextMarker);
        for (std::string& url : found.urls) {
            shared.List().Append(std::move(url));
            shared.backlinkCount.fetch_add(1);
        }
        if (!found.nextPageFollows) {
            return;
        }
    }
}

void GatherRanks(BacklinkRecord& record, const std::string& siteKey,
                 const ServiceEndpoints& services, int maxRankingPages, HttpSession& session) {
    record.pageRank = LookupPageRank(session, services, record.url);
    record.homePageRank = LookupPageRank(session, services, HomePageAddress(record.url));
    const std::string& phrase = record.anchorText;
    record.yahooPageRankPos = RankOnYahoo(session, services, maxRankingPages, phrase, record.url);
    record.yahooSitePos = RankOnYahoo(session, services, maxRankingPages, phrase, siteKey);
    record.googlePageRankPos = RankOnGoogle(session, services, maxRankingPages, phrase, record.url);
    record.googleSitePos = RankOnGoogle(session, services, maxRankingPages, phrase, siteKey);
    record.msnPageRankPos = RankOnMsn(session, services, maxRankingPages, phrase, record.url);
    record.msnSitePos = RankOnMsn(session, services, maxRankingPages, phrase, siteKey);
}

}  // namespace

void RunReport(const RunRequest& request, const ServiceConfig& config, RunShared& shared,
               const RunProgress& progress) {
    shared.backlinkCount.store(0);
    const std::string siteKey = MakeSiteKey(request.siteText);
    const ServiceEndpoints& services = config.services;
    HttpSession& session = shared.Session();
    BacklinkList& list = shared.List();

    DiscoverBacklinks(request, services, siteKey, shared);
    Announce(shared, progress, "Indexing Backlinks...");
    std::this_thread::sleep_for(kPauseAfterDiscovery);

    std::size_t index = 0;
    for (auto record = list.begin(); record != list.end();) {
        if (IsStopped(shared.runState.load())) {
            return;
        }
        if (progress.record) {
            progress.record(index, list.size());
        }
        // Pages of the profiled site itself are no backlinks.
        if (Contains(record->url, siteKey)) {
            record = list.Unlink(record);
            continue;
        }
        if (!Announce(shared, progress, "Examining " + record->url + "...\r\n")) {
            return;
        }
        std::optional<SiteLink> link = FindSiteLink(session, record->url, siteKey);
        if (!link) {
            // A fetch cut short by an aborted session says nothing about the
            // page, so the record stays as it was found.
            if (session.Aborted()) {
                return;
            }
            record = list.Unlink(record);
            continue;
        }
        record->href = std::move(link->href);
        record->anchorText = std::move(link->anchorText);
        if (!Announce(shared, progress,
                      "Gathering ranking data for keyphrase: " + record->anchorText + "...\r\n")) {
            return;
        }
        GatherRanks(*record, siteKey, services, request.maxRankingPages, session);
        record->reciprocal = CheckReciprocal(session, siteKey, record->href, record->url);
        ++record;
        ++index;
    }
    Finish(shared);
}

}  // namespace veltrap
