#include "engine/RecordExaminer.h"

#include "base/TextSearch.h"
#include "engine/RecordFields.h"
#include "scrape/LinkStatus.h"
#include "scrape/Reciprocal.h"
#include "scrape/SiteLink.h"
#include "scrape/WebAddress.h"

#include <utility>

namespace veltrap {

RecordExaminer::RecordExaminer(std::string siteKey, int maxRankingPages, std::int64_t maxSitePages,
                               const RunServices& services, const RunContext& context)
    : siteKey_(std::move(siteKey)),
      maxRankingPages_(maxRankingPages),
      maxSitePages_(maxSitePages),
      services_(services),
      context_(context),
      fetch_(SessionFetch(context.http)) {}

std::string RecordExaminer::ServiceOf(RecordField field, const RunServices& services) {
    if (const auto rank = RankTargetOf(field)) {
        return services.Rank(rank->column).Name();
    }
    if (field == RecordField::kReciprocal) {
        return "site";
    }
    return services.authority->Name();
}

bool RecordExaminer::Fill(BacklinkRecord& record, RecordField field) const {
    if (context_.stop.Cancelled()) {
        return false;
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
    const LookupOutcome outcome = lookup();
    // An answer cut short by the stop says nothing about the page.
    if (context_.stop.Cancelled()) {
        return false;
    }
    if (Describe(field).kind == FieldKind::kFlag) {
        FlagOf(record, field) = outcome.value() == 1;
    } else {
        NumberOf(record, field) = outcome.value();
    }
    if (outcome.failed()) {
        record.failures.emplace_back(field, outcome.reason());
    }
    return true;
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
    // The reciprocal flag is only set once its check has an answer, so a
    // record cut short keeps "One Way" as it was found.
    for (const RecordField field : kLookups) {
        if (!Fill(record, field)) {
            return Fate::kStopped;
        }
    }
    return Fate::kKept;
}

}  // namespace veltrap
