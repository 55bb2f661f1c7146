#include "engine/RecordFields.h"

#include <cassert>
#include <cstddef>
#include <optional>

namespace veltrap {
namespace {

// Where each text field lives; null for the fields of other kinds.
std::string* TextMember(BacklinkRecord& record, RecordField field) {
    switch (field) {
        case RecordField::kUrl:
            return &record.url;
        case RecordField::kHref:
            return &record.href;
        case RecordField::kAnchorText:
            return &record.anchorText;
        case RecordField::kFinalUrl:
            return &record.finalUrl;
        case RecordField::kRel:
            return &record.rel;
        case RecordField::kRobots:
            return &record.robots;
        case RecordField::kCanonical:
            return &record.canonical;
        case RecordField::kLinkStatus:
            return &record.linkStatus;
        default:
            return nullptr;
    }
}

std::int32_t* NumberMember(BacklinkRecord& record, RecordField field) {
    if (const auto rank = RankTargetOf(field)) {
        return &(rank->site ? record.sitePos : record.pagePos)[rank->column];
    }
    switch (field) {
        case RecordField::kPageRank:
            return &record.pageRank;
        case RecordField::kHomePageRank:
            return &record.homePageRank;
        case RecordField::kHttpStatus:
            return &record.httpStatus;
        default:
            return nullptr;
    }
}

}  // namespace

std::optional<RankTarget> RankTargetOf(RecordField field) {
    switch (field) {
        case RecordField::kGooglePageRankPos:
            return RankTarget{RankColumn::kGoogle, false};
        case RecordField::kMsnPageRankPos:
            return RankTarget{RankColumn::kMsn, false};
        case RecordField::kYahooPageRankPos:
            return RankTarget{RankColumn::kYahoo, false};
        case RecordField::kGoogleSitePos:
            return RankTarget{RankColumn::kGoogle, true};
        case RecordField::kMsnSitePos:
            return RankTarget{RankColumn::kMsn, true};
        case RecordField::kYahooSitePos:
            return RankTarget{RankColumn::kYahoo, true};
        default:
            return std::nullopt;
    }
}

const FieldInfo& Describe(RecordField field) {
    const auto& info = kRecordFields[static_cast<std::size_t>(field)];
    assert(info.field == field);
    return info;
}

const FieldInfo* FindField(std::string_view jsonName) {
    for (const FieldInfo& info : kRecordFields) {
        if (info.jsonName == jsonName) {
            return &info;
        }
    }
    return nullptr;
}

std::string& TextOf(BacklinkRecord& record, RecordField field) {
    std::string* text = TextMember(record, field);
    assert(text != nullptr);
    return *text;
}

const std::string& TextOf(const BacklinkRecord& record, RecordField field) {
    return TextOf(const_cast<BacklinkRecord&>(record), field);
}

std::int32_t& NumberOf(BacklinkRecord& record, RecordField field) {
    std::int32_t* number = NumberMember(record, field);
    assert(number != nullptr);
    return *number;
}

std::int32_t NumberOf(const BacklinkRecord& record, RecordField field) {
    return NumberOf(const_cast<BacklinkRecord&>(record), field);
}

bool& FlagOf(BacklinkRecord& record, RecordField field) {
    if (field == RecordField::kRendered) {
        return record.rendered;
    }
    assert(field == RecordField::kReciprocal || field == RecordField::kDisavowed);
    return field == RecordField::kDisavowed ? record.disavowed : record.reciprocal;
}

bool FlagOf(const BacklinkRecord& record, RecordField field) {
    return FlagOf(const_cast<BacklinkRecord&>(record), field);
}

std::string ShownValue(const BacklinkRecord& record, RecordField field) {
    switch (Describe(field).kind) {
        case FieldKind::kText:
            return TextOf(record, field);
        case FieldKind::kNumber:
            return std::to_string(NumberOf(record, field));
        case FieldKind::kFlag:
            return FlagOf(record, field) ? "yes" : "no";
        case FieldKind::kFailures:
            break;
    }
    return {};
}

}  // namespace veltrap
