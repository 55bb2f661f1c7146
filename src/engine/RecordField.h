#pragma once

namespace veltrap {

// The fields of a BacklinkRecord, each named once, in the order records.json
// and the history hold them. What is known of each field is in RecordFields.h.
enum class RecordField {
    kUrl,
    kHref,
    kAnchorText,
    kGooglePageRankPos,
    kMsnPageRankPos,
    kYahooPageRankPos,
    kGoogleSitePos,
    kMsnSitePos,
    kYahooSitePos,
    kPageRank,
    kHomePageRank,
    kReciprocal,
    kFailures,
    kHttpStatus,
    kFinalUrl,
    kRel,
    kRobots,
    kCanonical,
    kLinkStatus,
    kRendered,
    kDisavowed,
};

}  // namespace veltrap
