#pragma once

#include "history/RunChanges.h"
#include "report/ReportGrid.h"

#include <string>

namespace veltrap {

// The changes as a table of the columns RunChanges::kColumns, for the HTML
// report and for changes.csv.
ReportGrid ChangesGrid(const RunChanges& changes);

// The changes as changes.csv, written by the same rules as the report's
// other tables.
std::string ChangesCsv(const RunChanges& changes);

}  // namespace veltrap
