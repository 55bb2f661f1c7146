#include "engine/RecordExaminer.h"

#include "base/TextSearch.h"
#include "engine/RecordFields.h"
#include "scrape/LinkStatus.h"
#include "scrape/Reciprocal.h"
#include "scrape/SiteLink.h"
#include "scrape/WebAddress.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>

namespace veltrap {

RecordExaminer::RecordExaminer(std::string siteKey, int maxRankingPages, std::int64_t maxSitePages,
                               const RunServices& services, const RunContext& context,
                               JobPool* lookups)
    : siteKey_(std::move(siteKey)),
      maxRankingPages_(maxRankingPages),
      maxSitePages_(maxSitePages),
      services_(services),
      context_(context),
      fetch_(SessionFetch(context.http)),
      lookups_(lookups) {}

std::string RecordExaminer::ServiceOf(RecordField field, const RunServices& services) {
    if (const auto rank = RankTargetOf(field)) {
        return services.Rank(rank->column).Name();
    }
    if (field == RecordField::kReciprocal) {
        return "site";
    }
    return services.authority->Name();
}

std::optional<LookupOutcome> RecordExaminer::Look(const BacklinkRecord& record,
                                                  RecordField field) const {
    if (context_.stop.Cancelled()) {
        return std::nullopt;
    }
    const auto lookup = [&]() -> LookupOutcome {
        const std::string& url = record.url;
        if (const auto rank = RankTargetOf(field)) {
            return services_.Rank(rank->column)
                .Rank(record.anchorText, rank->site ? siteKey_ : url, maxRankingPages_, fetch_);
        }
        switch (field) {
            case RecordField::kPageRank:
                return services_.authority->Authority(url, fetch_);
            case RecordField::kHomePageRank:
                return services_.authority->Authority(HomePageAddress(url), fetch_);
            default:
                return CheckReciprocal(fetch_, siteKey_, record.href, url, maxSitePages_);
        }
    };
    LookupOutcome outcome = lookup();
    // An answer cut short by the stop says nothing about the page.
    if (context_.stop.Cancelled()) {
        return std::nullopt;
    }
    return outcome;
}

void RecordExaminer::Store(BacklinkRecord& record, RecordField field,
                           const LookupOutcome& outcome) {
    if (Describe(field).kind == FieldKind::kFlag) {
        FlagOf(record, field) = outcome.value() == 1;
    } else {
        NumberOf(record, field) = outcome.value();
    }
    if (outcome.failed()) {
        record.failures.emplace_back(field, outcome.reason());
    }
}

std::array<std::optional<LookupOutcome>, RecordExaminer::kLookups.size()> RecordExaminer::LookAll(
    const BacklinkRecord& record) const {
    std::array<std::optional<LookupOutcome>, kLookups.size()> outcomes;
    // One after another, a lookup after the stop is not begun: Look asks the
    // stop before it sends anything.
    if (lookups_ == nullptr) {
        for (std::size_t index = 0; index < kLookups.size(); ++index) {
            outcomes[index] = Look(record, kLookups[index]);
        }
        return outcomes;
    }
    std::array<std::exception_ptr, kLookups.size()> thrown;
    // Counted down under the lock and told before it is let go, so that the
    // waiter, which owns all of this, returns only once no lookup touches it.
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t running = kLookups.size();
    const auto answer = [&](std::size_t index) {
        try {
            outcomes[index] = Look(record, kLookups[index]);
        } catch (...) {
            thrown[index] = std::current_exception();
        }
        std::lock_guard lock(mutex);
        --running;
        changed.notify_all();
    };
    std::size_t handed = 1;
    try {
        for (; handed < kLookups.size(); ++handed) {
            lookups_->Submit([&answer, handed] { answer(handed); });
        }
    } catch (...) {
        // The lookups never handed over are not waited for.
        std::lock_guard lock(mutex);
        thrown[handed] = std::current_exception();
        running -= kLookups.size() - handed;
    }
    answer(0);
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&running] { return running == 0; });
    }
    for (const std::exception_ptr& failure : thrown) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
    return outcomes;
}

RecordExaminer::Fate RecordExaminer::Examine(BacklinkRecord& record) const {
    if (context_.stop.Cancelled()) {
        return Fate::kStopped;
    }
    // Pages of the profiled site itself are no backlinks.
    if (Contains(record.url, siteKey_)) {
        record.linkStatus = "own-site";
        return Fate::kRemoved;
    }
    if (!context_.Announce("Examining " + record.url + "...\r\n")) {
        return Fate::kStopped;
    }
    SiteLinkLookup found = FindSiteLink(fetch_, record.url, siteKey_);
    if (context_.renderer != nullptr &&
        context_.renderer->Wants(found.page, found.link.has_value())) {
        const std::string& address =
            found.page.finalUrl.empty() ? WithHttpScheme(record.url) : found.page.finalUrl;
        Result<std::string> document = context_.renderer->Render(address);
        if (context_.stop.Cancelled()) {
            return Fate::kStopped;
        }
        // A page the browser could not show says nothing about its link: it
        // is not taken for a page without one.
        if (!document) {
            record.linkStatus = "unrendered";
            record.httpStatus = static_cast<std::int32_t>(found.page.status);
            return Fate::kRemoved;
        }
        // The document is read as a fetched page is; how the page answered
        // (its status and headers) stays that of the fetch.
        found.page.body = std::move(document).value();
        found.link = ReadSiteLink(found.page.body, siteKey_);
        record.rendered = true;
    }
    if (!found.link) {
        // A fetch cut short by the stop says nothing about the page, so the
        // record stays as it was found.
        if (context_.stop.Cancelled()) {
            return Fate::kStopped;
        }
        record.linkStatus = UnlinkedStatus(found.page);
        record.httpStatus = found.page.answered ? static_cast<std::int32_t>(found.page.status) : 0;
        return Fate::kRemoved;
    }
    record.href = std::move(found.link->href);
    record.anchorText = std::move(found.link->anchorText);
    LinkFacts facts = ReadLinkFacts(found.page, record.href);
    record.httpStatus = facts.httpStatus;
    record.finalUrl = std::move(facts.finalUrl);
    record.rel = std::move(facts.rel);
    record.robots = std::move(facts.robots);
    record.canonical = std::move(facts.canonical);
    record.linkStatus = std::move(facts.linkStatus);
    if (!context_.Announce("Gathering ranking data for keyphrase: " + record.anchorText +
                           "...\r\n")) {
        return Fate::kStopped;
    }
    // A lookup the stop cut short, or never began, leaves its own field as it
    // was, so a record cut short keeps "One Way" as it was found; those that
    // ended before the stop keep their answers.
    const auto outcomes = LookAll(record);
    Fate fate = Fate::kKept;
    for (std::size_t index = 0; index < kLookups.size(); ++index) {
        if (outcomes[index]) {
            Store(record, kLookups[index], *outcomes[index]);
        } else {
            fate = Fate::kStopped;
        }
    }
    return fate;
}

}  // namespace veltrap
