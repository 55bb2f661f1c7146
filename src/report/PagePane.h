#pragma once

#include "engine/BacklinkList.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

namespace veltrap {

// The "Individual Page Report" tab: one row per page of the profiled site
// (compared without regard to case) that a keyphrase links to, with the number
// of distinct linking pages, most linked first. Does nothing unless reportReady.
PaneResult FillPagePane(ReportGrid& grid, const BacklinkList& list, bool reportReady);

}  // namespace veltrap
