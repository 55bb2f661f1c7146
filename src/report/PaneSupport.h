#pragma once

#include "engine/BacklinkList.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The pieces every pane fill shares: ASCII case-insensitive comparing and
// hashing, the text of a number that may be undetermined, and the closing steps.

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

struct CaseInsensitiveHash {
    std::size_t operator()(std::string_view text) const;
};

struct CaseInsensitiveEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualsIgnoreCase(a, b); }
};

// "NA" for -1, the decimal number otherwise.
std::string NumberOrNa(std::int32_t value);

// For each record in list order: true when no earlier record has the same url,
// compared without regard to case.
std::vector<bool> FirstUrlOccurrences(const BacklinkList& list);

// Starts a refill with the grid's own position and page size.
void StartPane(ReportGrid& grid, int columns);

// The closing steps once the rows are in (and sorted, for panes that sort).
PaneResult FinishPane(const ReportGrid& grid, std::string hintText, std::string tabTitle = {});

}  // namespace veltrap
