#pragma once

#include "engine/BacklinkRecord.h"
#include "engine/RecordField.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrap {

// What a field holds.
enum class FieldKind {
    kText,
    kNumber,
    kFlag,      // yes or no
    kFailures,  // the record's failed lookups, by field
};

// One field of a record as the outputs and the history know it.
struct FieldInfo {
    RecordField field;
    std::string_view jsonName;       // its name in records.json and in failures
    std::string_view historyColumn;  // its column in the history's records table
    FieldKind kind;
    // 0 when the changes between two runs do not compare it; otherwise its
    // place among the fields they compare.
    int comparedAs = 0;
};

// Every field of a record, in the order records.json and the history's
// records table hold them. Adding a field to BacklinkRecord means adding it
// here and to the accessors in RecordFields.cpp; the outputs, the history and
// the changes follow.
inline constexpr std::array<FieldInfo, 21> kRecordFields = {{
    {RecordField::kUrl, "url", "url", FieldKind::kText},
    {RecordField::kHref, "href", "href", FieldKind::kText},
    {RecordField::kAnchorText, "anchorText", "anchor_text", FieldKind::kText, 1},
    {RecordField::kGooglePageRankPos, "googlePageRankPos", "google_pagerank_pos",
     FieldKind::kNumber},
    {RecordField::kMsnPageRankPos, "msnPageRankPos", "msn_pagerank_pos", FieldKind::kNumber},
    {RecordField::kYahooPageRankPos, "yahooPageRankPos", "yahoo_pagerank_pos", FieldKind::kNumber},
    {RecordField::kGoogleSitePos, "googleSitePos", "google_site_pos", FieldKind::kNumber},
    {RecordField::kMsnSitePos, "msnSitePos", "msn_site_pos", FieldKind::kNumber},
    {RecordField::kYahooSitePos, "yahooSitePos", "yahoo_site_pos", FieldKind::kNumber},
    {RecordField::kPageRank, "pageRank", "page_rank", FieldKind::kNumber},
    {RecordField::kHomePageRank, "homePageRank", "home_page_rank", FieldKind::kNumber},
    {RecordField::kReciprocal, "reciprocal", "reciprocal", FieldKind::kFlag, 4},
    {RecordField::kFailures, "failures", "failures", FieldKind::kFailures},
    {RecordField::kHttpStatus, "httpStatus", "http_status", FieldKind::kNumber},
    {RecordField::kFinalUrl, "finalUrl", "final_url", FieldKind::kText},
    {RecordField::kRel, "rel", "rel", FieldKind::kText, 3},
    {RecordField::kRobots, "robots", "robots", FieldKind::kText},
    {RecordField::kCanonical, "canonical", "canonical", FieldKind::kText},
    {RecordField::kLinkStatus, "linkStatus", "link_status", FieldKind::kText, 2},
    {RecordField::kRendered, "rendered", "rendered", FieldKind::kFlag},
    {RecordField::kDisavowed, "disavowed", "disavowed", FieldKind::kFlag},
}};

// What is known of a field.
const FieldInfo& Describe(RecordField field);

// Where a search position field ranks: the column it is asked of, and
// whether its target is the profiled site or else the linking page.
struct RankTarget {
    RankColumn column;
    bool site;
};
// The rank target of a position field; none for the other fields.
std::optional<RankTarget> RankTargetOf(RecordField field);
// The field of that JSON name; null for a name no field has.
const FieldInfo* FindField(std::string_view jsonName);

// A field's value in the record, by its kind; a field of another kind is a
// mistake of the caller's.
std::string& TextOf(BacklinkRecord& record, RecordField field);
const std::string& TextOf(const BacklinkRecord& record, RecordField field);
std::int32_t& NumberOf(BacklinkRecord& record, RecordField field);
std::int32_t NumberOf(const BacklinkRecord& record, RecordField field);
bool& FlagOf(BacklinkRecord& record, RecordField field);
bool FlagOf(const BacklinkRecord& record, RecordField field);

// A text, number or flag field as people read it: the text, the number in
// decimal, "yes" or "no".
std::string ShownValue(const BacklinkRecord& record, RecordField field);

}  // namespace veltrap
