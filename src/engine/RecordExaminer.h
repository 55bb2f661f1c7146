#pragma once

#include "engine/BacklinkRecord.h"
#include "engine/RecordField.h"
#include "engine/RunContext.h"
#include "engine/RunServices.h"
#include "net/PageFetch.h"

#include <array>
#include <cstdint>
#include <string>

namespace veltrap {

// Examines one record of a run: its linking page, its authority, its six
// search positions and whether the site links back. Many records are
// examined side by side, each by one examiner call on its own thread; each
// writes only its own record. Between steps it checks whether the run is
// stopping, and then leaves the record with what it already had.
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

    RecordExaminer(std::string siteKey, int maxRankingPages, std::int64_t maxSitePages,
                   const RunServices& services, const RunContext& context);

    Fate Examine(BacklinkRecord& record) const;
    // The name of the service that looks a field up, as failures are counted:
    // the authority's, a search engine's, or "site" for the reciprocal check.
    static std::string ServiceOf(RecordField field, const RunServices& services);

private:
    // Runs the lookup of one field and stores its value, unless the run
    // stopped meanwhile; answers whether the record may go on.
    bool Fill(BacklinkRecord& record, RecordField field) const;

    std::string siteKey_;
    int maxRankingPages_;
    std::int64_t maxSitePages_;
    const RunServices& services_;
    const RunContext& context_;
    PageFetch fetch_;
};

}  // namespace veltrap
