#pragma once

#include "engine/RecordField.h"
#include "engine/RunResult.h"
#include "report/LinkChanges.h"

#include <array>
#include <cstddef>
#include <functional>
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
    // A lost page is one the older run kept and the newer run read and
    // removed as "not-found" or "gone". An unverified page is one the newer
    // run removed without being able to tell (no answer, blocked, cut short,
    // an error). An unlisted page is one the newer run's list did not hold,
    // so nobody looked at it. Neither of the last two is known to be lost.
    enum class Kind { kNew, kLost, kChanged, kUnlisted, kUnverified };

    std::string url;
    Kind kind = Kind::kChanged;
    // For a lost or unverified page: the status the newer run removed it
    // with ("gone", "blocked"...); kNotSeen for an unlisted one.
    std::string lostStatus;
    // For a lost, unverified or unlisted page, its link status in the older
    // run.
    std::string oldLinkStatus;
    // For a changed page, each field that differs, in a fixed order.
    std::vector<FieldChange> fields;
};

// The changes between the kept records of an older and a newer run: the
// newer run's new and changed pages in its own list order, then the lost,
// unverified and unlisted pages in the older run's order. A record that
// either run kept without reading it (a cancelled run's) is never counted as
// changed. A page disavowed in either run is never told lost, unverified or
// unlisted: nobody wants its link back.
struct RunChanges {
    static constexpr const char* kNotSeen = "not seen";

    std::vector<PageChange> pages;

    static RunChanges Compare(const RunResult& older, const RunResult& newer);
    // The changes as rows of the columns kColumns: a new page is one row, a
    // lost, unverified or unlisted page one row with its old link status and
    // why, a changed page one row for each field.
    static constexpr std::array<const char*, 5> kColumns = {"Linking Page", "Change", "Field",
                                                            "Old", "New"};
    std::vector<std::array<std::string, 5>> Rows() const;
    // The changes as the "Link Status" tab shows them.
    LinkChanges ForLinkStatus() const;
    // "New", "Lost", "Changed", "Unlisted" or "Unverified".
    static const char* KindName(PageChange::Kind kind);
    // How many pages are lost.
    std::size_t LostCount() const;
    // Drops the lost, unverified and unlisted pages that disavowed names, as
    // Compare would have with the pages so marked.
    void ForgetDisavowed(const std::function<bool(const std::string&)>& disavowed);
};

}  // namespace veltrap
