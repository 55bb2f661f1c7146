#include "engine/RunReport.h"

#include "engine/JobPool.h"
#include "engine/RecordExaminer.h"
#include "engine/RecordFields.h"
#include "engine/RunServices.h"
#include "engine/SiteKey.h"
#include "services/backlinkimport/ImportSource.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using Fate = RecordExaminer::Fate;

constexpr auto kPauseAfterDiscovery = std::chrono::milliseconds(200);

// Writes a status line and marks it new, unless the run has been stopped:
// then neither the line nor the state is touched, so a cancel (and the text
// that came with it) is never overwritten.
void Announce(RunShared& shared, const RunEvents& events, const std::string& line) {
    if (shared.PostStatus(line) && events.status) {
        events.status(line);
    }
}

// Counts the failed lookups of the records by the service that failed,
// services in the order the run asks them.
std::vector<ServiceFailures> CountFailures(const BacklinkList& records, RunServices& services) {
    const std::map<RecordField, std::string> serviceOf = {
        {RecordField::kPageRank, services.authority->Name()},
        {RecordField::kHomePageRank, services.authority->Name()},
        {RecordField::kYahooPageRankPos, services.Rank(RankColumn::kYahoo).Name()},
        {RecordField::kYahooSitePos, services.Rank(RankColumn::kYahoo).Name()},
        {RecordField::kGooglePageRankPos, services.Rank(RankColumn::kGoogle).Name()},
        {RecordField::kGoogleSitePos, services.Rank(RankColumn::kGoogle).Name()},
        {RecordField::kMsnPageRankPos, services.Rank(RankColumn::kMsn).Name()},
        {RecordField::kMsnSitePos, services.Rank(RankColumn::kMsn).Name()},
        {RecordField::kReciprocal, "site"},
    };
    std::vector<ServiceFailures> counted;
    for (const RecordField field :
         {RecordField::kPageRank, RecordField::kYahooPageRankPos, RecordField::kGooglePageRankPos,
          RecordField::kMsnPageRankPos, RecordField::kReciprocal}) {
        const std::string& service = serviceOf.at(field);
        if (std::none_of(counted.begin(), counted.end(),
                         [&](const ServiceFailures& s) { return s.service == service; })) {
            counted.push_back({service, 0, {}});
        }
    }
    for (const BacklinkRecord& record : records) {
        for (const auto& [field, reason] : record.failures) {
            const auto named = serviceOf.find(field);
            const std::string service =
                named == serviceOf.end() ? std::string(Describe(field).jsonName) : named->second;
            auto entry =
                std::find_if(counted.begin(), counted.end(),
                             [&](const ServiceFailures& s) { return s.service == service; });
            if (entry == counted.end()) {
                entry = counted.insert(counted.end(), {service, 0, {}});
            }
            if (entry->count++ == 0) {
                entry->firstReason = reason;
            }
        }
    }
    std::erase_if(counted, [](const ServiceFailures& s) { return s.count == 0; });
    return counted;
}

}  // namespace

RunResult RunReport(const RunRequest& request, const ServiceConfig& config, RunShared& shared,
                    const RunEvents& events) {
    shared.backlinkCount.store(0);
    RunResult result;
    result.siteKey = MakeSiteKey(request.siteText);
    std::string error;
    RunServices services = RunServices::Make(config, error);
    if (!error.empty()) {
        throw std::invalid_argument(error);
    }
    if (request.imported) {
        services.source = std::make_unique<ImportSource>(request.imported);
    }
    result.backlinkSource = services.source->Name();
    BacklinkList& list = shared.List();
    HttpSession& session = shared.Session();

    result.discovery = services.source->Discover(result.siteKey, request.maxBacklinkPages,
                                                 SessionFetch(session), [&](std::string url) {
                                                     list.Append(std::move(url));
                                                     shared.backlinkCount.fetch_add(1);
                                                 });
    result.backlinkCount = shared.backlinkCount.load();
    shared.recordsTotal.store(static_cast<std::size_t>(std::max(result.backlinkCount, 0)));
    if (result.discovery.failed) {
        Announce(shared, events, result.DiscoveryProblem() + "\r\n");
    }
    Announce(shared, events, "Indexing Backlinks...");
    std::this_thread::sleep_for(kPauseAfterDiscovery);

    std::vector<BacklinkList::iterator> order;
    std::vector<std::string> urls;
    for (auto record = list.begin(); record != list.end(); ++record) {
        order.push_back(record);
        urls.push_back(record->url);
    }
    std::vector<Fate> fates(order.size(), Fate::kStopped);
    if (shared.BeginRecordPhase() && !order.empty()) {
        services.authority->Prepare(urls, SessionFetch(session));
        const RecordExaminer examiner(result.siteKey, request.maxRankingPages,
                                      config.http.maxSitePages, services, shared, events);
        const std::size_t total = order.size();
        JobPool pool(std::min<std::size_t>(static_cast<std::size_t>(config.http.jobs), total));
        for (std::size_t index = 0; index < total; ++index) {
            if (shared.Stopping()) {
                break;
            }
            pool.Submit([&, index] {
                fates[index] = examiner.Examine(*order[index]);
                if (fates[index] != Fate::kStopped) {
                    const std::size_t done = shared.recordsDone.fetch_add(1) + 1;
                    if (events.recordDone) {
                        events.recordDone(done, shared.recordsTotal.load());
                    }
                }
            });
        }
        pool.Wait();
    }
    std::size_t kept = 0;
    for (std::size_t index = 0; index < order.size(); ++index) {
        if (fates[index] != Fate::kRemoved) {
            ++kept;
            continue;
        }
        const BacklinkRecord& record = *order[index];
        result.unlinked.push_back({record.url, record.linkStatus, record.httpStatus, kept});
        list.Unlink(order[index]);
    }

    result.failures = CountFailures(list, services);
    if (const std::string line = result.FailureLine(); !line.empty()) {
        Announce(shared, events, line + "\r\n");
    }
    result.requests = session.RequestsSent();
    result.records = list;
    // The result is there before the state turns idle, since whoever watches
    // the state reads it then. A cancel can still come in between; it is told
    // in the result the caller gets.
    result.cancelled = shared.runState.load() == kRunCancelled || session.Aborted();
    shared.SetResult(result);
    // A run whose fetches were aborted did not end; its state stays. One
    // that cannot be finished was cancelled after the result was stored.
    if (!session.Aborted() && !shared.Finish() && !result.cancelled) {
        result.cancelled = true;
        shared.SetResult(result);
    }
    if (events.finished) {
        events.finished(result);
    }
    return result;
}

}  // namespace veltrap
