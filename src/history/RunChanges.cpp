#include "history/RunChanges.h"

#include "engine/RecordFields.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace veltrap {
namespace {

// A url listed twice in a run counts once, as its first record.
std::unordered_map<std::string, const BacklinkRecord*> ByUrl(const BacklinkList& records) {
    std::unordered_map<std::string, const BacklinkRecord*> index;
    index.reserve(records.size());
    for (const BacklinkRecord& record : records) {
        index.emplace(record.url, &record);
    }
    return index;
}

// The fields two runs' records are compared by, in the order their changes
// are told.
std::vector<RecordField> ComparedFields() {
    std::vector<const FieldInfo*> compared;
    for (const FieldInfo& info : kRecordFields) {
        if (info.comparedAs > 0) {
            compared.push_back(&info);
        }
    }
    std::ranges::sort(compared, {}, &FieldInfo::comparedAs);
    std::vector<RecordField> fields;
    for (const FieldInfo* info : compared) {
        fields.push_back(info->field);
    }
    return fields;
}

std::vector<FieldChange> Differences(const BacklinkRecord& older, const BacklinkRecord& newer) {
    std::vector<FieldChange> fields;
    // A cancelled run keeps records it never read, without a link target; an
    // empty anchor text there is not a change of the page.
    if (older.href.empty() || newer.href.empty()) {
        return fields;
    }
    static const std::vector<RecordField> compared = ComparedFields();
    for (const RecordField field : compared) {
        std::string was = ShownValue(older, field);
        std::string is = ShownValue(newer, field);
        if (was != is) {
            fields.push_back({field, std::move(was), std::move(is)});
        }
    }
    return fields;
}

}  // namespace

RunChanges RunChanges::Compare(const RunResult& older, const RunResult& newer) {
    RunChanges changes;
    const auto olderByUrl = ByUrl(older.records);
    std::unordered_set<std::string> seen;
    for (const BacklinkRecord& record : newer.records) {
        if (!seen.insert(record.url).second) {
            continue;
        }
        const auto found = olderByUrl.find(record.url);
        if (found == olderByUrl.end()) {
            changes.pages.push_back({record.url, PageChange::Kind::kNew, "", "", {}});
        } else if (auto fields = Differences(*found->second, record); !fields.empty()) {
            changes.pages.push_back(
                {record.url, PageChange::Kind::kChanged, "", "", std::move(fields)});
        }
    }
    std::unordered_map<std::string, const UnlinkedRecord*> removed;
    for (const UnlinkedRecord& record : newer.unlinked) {
        removed.emplace(record.url, &record);
    }
    std::unordered_set<std::string> lost;
    for (const BacklinkRecord& record : older.records) {
        if (seen.count(record.url) != 0 || !lost.insert(record.url).second) {
            continue;
        }
        const auto why = removed.find(record.url);
        if (record.disavowed || (why != removed.end() && why->second->disavowed)) {
            continue;
        }
        if (why == removed.end()) {
            changes.pages.push_back(
                {record.url, PageChange::Kind::kUnlisted, kNotSeen, record.linkStatus, {}});
            continue;
        }
        const std::string& status = why->second->linkStatus;
        changes.pages.push_back(
            {record.url,
             VerifiedAbsence(status) ? PageChange::Kind::kLost : PageChange::Kind::kUnverified,
             status,
             record.linkStatus,
             {}});
    }
    return changes;
}

std::vector<std::array<std::string, 5>> RunChanges::Rows() const {
    std::vector<std::array<std::string, 5>> rows;
    for (const PageChange& page : pages) {
        const std::string kind = KindName(page.kind);
        switch (page.kind) {
            case PageChange::Kind::kNew:
                rows.push_back({page.url, kind, "", "", ""});
                break;
            case PageChange::Kind::kLost:
            case PageChange::Kind::kUnverified:
            case PageChange::Kind::kUnlisted:
                rows.push_back({page.url, kind,
                                std::string(Describe(RecordField::kLinkStatus).jsonName),
                                page.oldLinkStatus, page.lostStatus});
                break;
            case PageChange::Kind::kChanged:
                for (const FieldChange& field : page.fields) {
                    rows.push_back({page.url, kind, std::string(Describe(field.field).jsonName),
                                    field.oldValue, field.newValue});
                }
                break;
        }
    }
    return rows;
}

const char* RunChanges::KindName(PageChange::Kind kind) {
    switch (kind) {
        case PageChange::Kind::kNew:
            return "New";
        case PageChange::Kind::kLost:
            return "Lost";
        case PageChange::Kind::kChanged:
            return "Changed";
        case PageChange::Kind::kUnlisted:
            return "Unlisted";
        case PageChange::Kind::kUnverified:
            return "Unverified";
    }
    return "";
}

std::size_t RunChanges::LostCount() const {
    return static_cast<std::size_t>(
        std::ranges::count(pages, PageChange::Kind::kLost, &PageChange::kind));
}

void RunChanges::ForgetDisavowed(const std::function<bool(const std::string&)>& disavowed) {
    std::erase_if(pages, [&disavowed](const PageChange& page) {
        return page.kind != PageChange::Kind::kNew && page.kind != PageChange::Kind::kChanged &&
               disavowed(page.url);
    });
}

LinkChanges RunChanges::ForLinkStatus() const {
    LinkChanges shown;
    for (const PageChange& page : pages) {
        shown.byUrl.emplace(page.url, KindName(page.kind));
        if (page.kind == PageChange::Kind::kUnlisted) {
            shown.unseen.push_back(page.url);
        }
    }
    return shown;
}

}  // namespace veltrap
