#pragma once

#include "base/LookupOutcome.h"
#include "engine/BacklinkRecord.h"
#include "engine/JobPool.h"
#include "engine/RecordField.h"
#include "engine/RunContext.h"
#include "engine/RunServices.h"
#include "net/HttpOptions.h"
#include "net/PageFetch.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace veltrap {

// Examines one record of a run: its linking page, its authority, its six
// search positions and whether the site links back. Many records are
// examined side by side, each by one examiner call on its own thread; each
// writes only its own record. Given a pool for lookups, a record's lookups,
// which depend only on its linking page, go out side by side once that page
// is read; their answers are stored in the order the lookups are asked, so
// the record comes out as when they run one after another. Between steps it
// checks whether the run is stopping, and then leaves the record with what it
// already had.
class RecordExaminer {
public:
    enum class Fate {
        kKept,  // every field the run fills is filled
        // A page of the site itself, or one without a link to it; its
        // linkStatus (and httpStatus) say which.
        kRemoved,
        kStopped,  // the run is stopping; the record keeps what it had
    };

    // The fields a kept record looks up, in the order they are asked.
    static constexpr std::array<RecordField, 9> kLookups = {
        RecordField::kPageRank,          RecordField::kHomePageRank,
        RecordField::kYahooPageRankPos,  RecordField::kYahooSitePos,
        RecordField::kGooglePageRankPos, RecordField::kGoogleSitePos,
        RecordField::kMsnPageRankPos,    RecordField::kMsnSitePos,
        RecordField::kReciprocal,
    };
    static_assert(kLookups.size() == HttpOptions::kTransfersPerJob);

    // Without a pool for lookups (nullptr), a record's lookups run one after
    // another on the examiner's own thread.
    RecordExaminer(std::string siteKey, int maxRankingPages, std::int64_t maxSitePages,
                   const RunServices& services, const RunContext& context,
                   JobPool* lookups = nullptr);

    Fate Examine(BacklinkRecord& record) const;
    // The name of the service that looks a field up, as failures are counted:
    // the authority's, a search engine's, or "site" for the reciprocal check.
    static std::string ServiceOf(RecordField field, const RunServices& services);

private:
    // The answer to the lookup of one field, or nothing when the run stopped
    // before it or while it went on.
    std::optional<LookupOutcome> Look(const BacklinkRecord& record, RecordField field) const;
    // Stores a lookup's answer in its field.
    static void Store(BacklinkRecord& record, RecordField field, const LookupOutcome& outcome);
    // Answers every lookup of the record: side by side on the pool, the first
    // on the calling thread, waiting for them all; without a pool, one after
    // another on the calling thread.
    std::array<std::optional<LookupOutcome>, kLookups.size()> LookAll(
        const BacklinkRecord& record) const;

    std::string siteKey_;
    int maxRankingPages_;
    std::int64_t maxSitePages_;
    const RunServices& services_;
    const RunContext& context_;
    PageFetch fetch_;
    JobPool* lookups_;
};

}  // namespace veltrap
