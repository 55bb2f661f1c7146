#include "engine/RunReport.h"

#include "engine/JobPool.h"
#include "engine/RecordExaminer.h"
#include "engine/SiteKey.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

using Fate = RecordExaminer::Fate;

// Counts the failed lookups of the records by the service that failed,
// services in the order the run asks them.
std::vector<ServiceFailures> CountFailures(const BacklinkList& records,
                                           const RunServices& services) {
    std::vector<ServiceFailures> counted;
    const auto entryOf = [&counted](const std::string& service) {
        auto entry = std::find_if(counted.begin(), counted.end(),
                                  [&](const ServiceFailures& s) { return s.service == service; });
        return entry != counted.end() ? entry : counted.insert(counted.end(), {service, 0, {}});
    };
    for (const RecordField field : RecordExaminer::kLookups) {
        entryOf(RecordExaminer::ServiceOf(field, services));
    }
    for (const BacklinkRecord& record : records) {
        for (const auto& [field, reason] : record.failures) {
            const auto entry = entryOf(RecordExaminer::ServiceOf(field, services));
            if (entry->count++ == 0) {
                entry->firstReason = reason;
            }
        }
    }
    std::erase_if(counted, [](const ServiceFailures& s) { return s.count == 0; });
    return counted;
}

}  // namespace

RunResult RunReport(RunPlan& plan, const RunContext& context) {
    const RunRequest& request = plan.request;
    RunServices& services = plan.services;
    RunResult result;
    result.siteKey = MakeSiteKey(request.siteText);
    result.backlinkSource = services.source->Name();
    for (const RecordField field : RecordExaminer::kLookups) {
        result.lookupServices.Set(field, RecordExaminer::ServiceOf(field, services));
    }
    const PageFetch fetch = SessionFetch(context.http);
    BacklinkList list;
    result.discovery =
        services.source->Discover(result.siteKey, request.maxBacklinkPages, fetch,
                                  [&list](std::string url) { list.Append(std::move(url)); });
    result.backlinkCount = static_cast<std::int32_t>(list.size());
    // What was imported is in the list now; only the history's note of the
    // files needs the plan's hold on it, and that is taken before the run.
    plan.request.imported.reset();
    if (result.discovery.failed) {
        context.Announce(result.DiscoveryProblem() + "\r\n");
    }
    if (!request.recheck.empty()) {
        std::unordered_set<std::string> listed;
        for (const BacklinkRecord& record : list) {
            listed.insert(record.url);
        }
        for (const std::string& url : request.recheck) {
            if (listed.insert(url).second) {
                list.Append(url);
            }
        }
    }
    context.Announce("Indexing Backlinks...");

    std::vector<BacklinkList::iterator> order;
    order.reserve(list.size());
    for (auto record = list.begin(); record != list.end(); ++record) {
        order.push_back(record);
    }
    std::vector<Fate> fates(order.size(), Fate::kStopped);
    // A cancel during the discovery takes effect here, before any record.
    context.stop.BeginRecords();
    if (!context.stop.Cancelled() && !order.empty()) {
        {
            // The addresses apart from their records only while the authority
            // prepares: a large run would otherwise hold each one twice.
            std::vector<std::string> urls;
            urls.reserve(order.size());
            for (const auto& record : order) {
                urls.push_back(record->url);
            }
            services.authority->Prepare(urls, fetch);
        }
        const std::size_t total = order.size();
        const std::size_t jobs =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(plan.jobs, 1)), total);
        // With one job everything runs one request at a time. With more, each
        // record's lookups but the one its own thread runs go to a pool of
        // their own, large enough that no record waits for another's.
        std::optional<JobPool> lookups;
        if (plan.jobs > 1) {
            lookups.emplace(jobs * (RecordExaminer::kLookups.size() - 1));
        }
        const RecordExaminer examiner(result.siteKey, request.maxRankingPages, plan.maxSitePages,
                                      services, context, lookups ? &*lookups : nullptr);
        std::atomic<std::size_t> done{0};
        JobPool pool(jobs);
        for (std::size_t index = 0; index < total && !context.stop.Cancelled(); ++index) {
            pool.Submit([&, index] {
                fates[index] = examiner.Examine(*order[index]);
                if (fates[index] != Fate::kStopped && context.progress.recordDone) {
                    context.progress.recordDone(done.fetch_add(1) + 1, total);
                }
            });
        }
        pool.Wait();
    }
    result.unlinked.reserve(
        static_cast<std::size_t>(std::count(fates.begin(), fates.end(), Fate::kRemoved)));
    const auto disavowed = [&request](const std::string& url) {
        return request.disavow != nullptr && request.disavow->Names(url);
    };
    std::size_t kept = 0;
    for (std::size_t index = 0; index < order.size(); ++index) {
        if (fates[index] != Fate::kRemoved) {
            ++kept;
            continue;
        }
        // The record goes now, so its texts move rather than being copied.
        BacklinkRecord& record = *order[index];
        const bool pageDisavowed = disavowed(record.url);
        result.unlinked.push_back({std::move(record.url), std::move(record.linkStatus),
                                   record.httpStatus, kept, record.rendered, pageDisavowed});
        list.Unlink(order[index]);
    }
    for (BacklinkRecord& record : list) {
        record.disavowed = disavowed(record.url);
    }

    result.failures = CountFailures(list, services);
    if (const std::string line = result.FailureLine(); !line.empty()) {
        context.Announce(line + "\r\n");
    }
    result.requests = context.http.RequestsSent();
    result.records = std::move(list);
    result.cancelled = context.stop.Cancelled();
    return result;
}

}  // namespace veltrap
