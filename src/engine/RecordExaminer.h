#pragma once

#include "engine/BacklinkRecord.h"
#include "engine/RunEvents.h"
#include "engine/RunServices.h"
#include "engine/RunShared.h"
#include "net/PageFetch.h"

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

    RecordExaminer(std::string siteKey, int maxRankingPages, std::int64_t maxSitePages,
                   RunServices& services, RunShared& shared, const RunEvents& events);

    Fate Examine(BacklinkRecord& record) const;

private:
    bool Announce(const std::string& line) const;
    // Runs one lookup and stores its value, unless the run stopped meanwhile.
    template <typename Lookup>
    bool Fill(BacklinkRecord& record, RecordField field, std::int32_t& value, Lookup lookup) const;

    std::string siteKey_;
    int maxRankingPages_;
    std::int64_t maxSitePages_;
    RunServices& services_;
    RunShared& shared_;
    const RunEvents& events_;
    PageFetch fetch_;
};

}  // namespace veltrap
