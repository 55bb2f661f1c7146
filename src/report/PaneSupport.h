#pragma once

#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <cstdint>
#include <string>

namespace veltrap {

// The pieces every pane fill shares.

// "NA" for -1, the decimal number otherwise.
std::string NumberOrNa(std::int32_t value);

// Starts a refill with the grid's own position and page size.
void StartPane(ReportGrid& grid, int columns);

// The closing steps once the rows are in (and sorted, for panes that sort).
PaneResult FinishPane(const ReportGrid& grid, std::string hintText, std::string tabTitle = {});

}  // namespace veltrap
