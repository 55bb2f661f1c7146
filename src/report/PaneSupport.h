#pragma once

#include "engine/BacklinkRecord.h"
#include "engine/LookupServices.h"
#include "engine/RecordField.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <cstdint>
#include <string>

namespace veltrap {

// The pieces every pane fill shares.

// "NA" for -1, the decimal number otherwise.
std::string NumberOrNa(std::int32_t value);

// Stores the shown value of a looked-up field of the record in a cell and,
// when its lookup failed, the note that tells the service and why, so that a
// failure is not taken for a value that was not found.
void SetLookedUpCell(ReportGrid& grid, int row, int column, std::string text,
                     const BacklinkRecord& record, RecordField field,
                     const LookupServices& services);

// Starts a refill with the grid's own position and page size.
void StartPane(ReportGrid& grid, int columns);

// The closing steps once the rows are in (and sorted, for panes that sort).
PaneResult FinishPane(const ReportGrid& grid, std::string hintText, std::string tabTitle = {});

}  // namespace veltrap
