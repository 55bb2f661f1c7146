#pragma once

#include "engine/RecordField.h"
#include "engine/RunResult.h"
#include "report/LinkChanges.h"

#include <array>
#include <string>
#include <vector>

namespace veltrap {

// One field of a linking page that two runs saw differently.
struct FieldChange {
    RecordField field;  // one of the fields that RecordFields.h marks as compared
    std::string oldValue;
    std::string newValue;
};

// What became of one linking page, keyed by its url, between two runs.
struct PageChange {
    // An unlisted page is one the older run kept and the newer run's list
    // did not hold, so nobody looked at it: it is not known to be lost.
    enum class Kind { kNew, kLost, kChanged, kUnlisted };

    std::string url;
    Kind kind = Kind::kChanged;
    // For a lost page: the status the newer run removed it with ("gone",
    // "not-found"...); kNotSeen for an unlisted one.
    std::string lostStatus;
    // For a lost or unlisted page, its link status in the older run.
    std::string oldLinkStatus;
    // For a changed page, each field that differs, in a fixed order.
    std::vector<FieldChange> fields;
};

// The changes between the kept records of an older and a newer run: the
// newer run's new and changed pages in its own list order, then the lost
// and unlisted pages in the older run's order. A record that either run kept without
// reading it (a cancelled run's) is never counted as changed.
struct RunChanges {
    static constexpr const char* kNotSeen = "not seen";

    std::vector<PageChange> pages;

    static RunChanges Compare(const RunResult& older, const RunResult& newer);
    // The changes as rows of the columns kColumns: a new page is one row, a
    // lost or unlisted page one row with its old link status and why, a
    // changed page one row for each field.
    static constexpr std::array<const char*, 5> kColumns = {"Linking Page", "Change", "Field",
                                                            "Old", "New"};
    std::vector<std::array<std::string, 5>> Rows() const;
    // The changes as the "Link Status" tab shows them.
    LinkChanges ForLinkStatus() const;
    // "New", "Lost", "Changed" or "Unlisted".
    static const char* KindName(PageChange::Kind kind);
};

}  // namespace veltrap
