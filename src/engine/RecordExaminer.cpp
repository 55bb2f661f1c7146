#include "engine/RecordExaminer.h"

#include "base/TextSearch.h"
#include "scrape/LinkStatus.h"
#include "scrape/Reciprocal.h"
#include "scrape/SiteLink.h"
#include "scrape/WebAddress.h"

#include <utility>

namespace veltrap {

RecordExaminer::RecordExaminer(std::string siteKey, int maxRankingPages, std::int64_t maxSitePages,
                               RunServices& services, RunShared& shared, const RunEvents& events)
    : siteKey_(std::move(siteKey)),
      maxRankingPages_(maxRankingPages),
      maxSitePages_(maxSitePages),
      services_(services),
      shared_(shared),
      events_(events),
      fetch_(SessionFetch(shared.Session())) {}

bool RecordExaminer::Announce(const std::string& line) const {
    // A stopped run takes no more lines, so a cancel's text is never replaced.
    if (!shared_.PostStatus(line)) {
        return false;
    }
    if (events_.status) {
        events_.status(line);
    }
    return true;
}

template <typename Lookup>
bool RecordExaminer::Fill(BacklinkRecord& record, RecordField field, std::int32_t& value,
                          Lookup lookup) const {
    if (shared_.Stopping()) {
        return false;
    }
    const LookupOutcome outcome = lookup();
    // An answer cut short by the stop says nothing about the page.
    if (shared_.Stopping()) {
        return false;
    }
    value = outcome.value();
    if (outcome.failed()) {
        record.failures.emplace_back(field, outcome.reason());
    }
    return true;
}

RecordExaminer::Fate RecordExaminer::Examine(BacklinkRecord& record) const {
    if (shared_.Stopping()) {
        return Fate::kStopped;
    }
    // Pages of the profiled site itself are no backlinks.
    if (Contains(record.url, siteKey_)) {
        record.linkStatus = "own-site";
        return Fate::kRemoved;
    }
    if (!Announce("Examining " + record.url + "...\r\n")) {
        return Fate::kStopped;
    }
    SiteLinkLookup found = FindSiteLink(fetch_, record.url, siteKey_);
    if (!found.link) {
        // A fetch cut short by the stop says nothing about the page, so the
        // record stays as it was found.
        if (shared_.Stopping()) {
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
    if (!Announce("Gathering ranking data for keyphrase: " + record.anchorText + "...\r\n")) {
        return Fate::kStopped;
    }

    AuthorityProvider& authority = *services_.authority;
    const std::string& url = record.url;
    const std::string& phrase = record.anchorText;
    const auto rank = [&](RankColumn column, const std::string& target) {
        return [&, column] {
            return services_.Rank(column).Rank(phrase, target, maxRankingPages_, fetch_);
        };
    };
    std::int32_t reciprocal = 0;
    const bool complete =
        Fill(record, RecordField::kPageRank, record.pageRank,
             [&] { return authority.Authority(url, fetch_); }) &&
        Fill(record, RecordField::kHomePageRank, record.homePageRank,
             [&] { return authority.Authority(HomePageAddress(url), fetch_); }) &&
        Fill(record, RecordField::kYahooPageRankPos, record.pagePos[RankColumn::kYahoo],
             rank(RankColumn::kYahoo, url)) &&
        Fill(record, RecordField::kYahooSitePos, record.sitePos[RankColumn::kYahoo],
             rank(RankColumn::kYahoo, siteKey_)) &&
        Fill(record, RecordField::kGooglePageRankPos, record.pagePos[RankColumn::kGoogle],
             rank(RankColumn::kGoogle, url)) &&
        Fill(record, RecordField::kGoogleSitePos, record.sitePos[RankColumn::kGoogle],
             rank(RankColumn::kGoogle, siteKey_)) &&
        Fill(record, RecordField::kMsnPageRankPos, record.pagePos[RankColumn::kMsn],
             rank(RankColumn::kMsn, url)) &&
        Fill(record, RecordField::kMsnSitePos, record.sitePos[RankColumn::kMsn],
             rank(RankColumn::kMsn, siteKey_)) &&
        Fill(record, RecordField::kReciprocal, reciprocal,
             [&] { return CheckReciprocal(fetch_, siteKey_, record.href, url, maxSitePages_); });
    if (!complete) {
        return Fate::kStopped;
    }
    record.reciprocal = reciprocal == 1;
    return Fate::kKept;
}

}  // namespace veltrap
