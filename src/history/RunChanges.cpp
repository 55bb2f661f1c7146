#include "history/RunChanges.h"

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

std::vector<FieldChange> Differences(const BacklinkRecord& older, const BacklinkRecord& newer) {
    std::vector<FieldChange> fields;
    // A cancelled run keeps records it never read, without a link target; an
    // empty anchor text there is not a change of the page.
    if (older.href.empty() || newer.href.empty()) {
        return fields;
    }
    const auto compare = [&fields](const char* field, const std::string& was,
                                   const std::string& is) {
        if (was != is) {
            fields.push_back({field, was, is});
        }
    };
    const auto yesNo = [](bool value) { return std::string(value ? "yes" : "no"); };
    compare("anchorText", older.anchorText, newer.anchorText);
    compare("linkStatus", older.linkStatus, newer.linkStatus);
    compare("rel", older.rel, newer.rel);
    compare("reciprocal", yesNo(older.reciprocal), yesNo(newer.reciprocal));
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
        changes.pages.push_back({record.url,
                                 PageChange::Kind::kLost,
                                 why == removed.end() ? kNotSeen : why->second->linkStatus,
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
                rows.push_back({page.url, kind, "linkStatus", page.oldLinkStatus, page.lostStatus});
                break;
            case PageChange::Kind::kChanged:
                for (const FieldChange& field : page.fields) {
                    rows.push_back({page.url, kind, field.field, field.oldValue, field.newValue});
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
    }
    return "";
}

LinkChanges RunChanges::ForLinkStatus() const {
    LinkChanges shown;
    for (const PageChange& page : pages) {
        shown.byUrl.emplace(page.url, KindName(page.kind));
        if (page.kind == PageChange::Kind::kLost && page.lostStatus == kNotSeen) {
            shown.unseen.push_back(page.url);
        }
    }
    return shown;
}

}  // namespace veltrap
