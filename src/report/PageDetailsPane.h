#pragma once

#include "engine/BacklinkList.h"
#include "engine/LookupServices.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <string_view>

namespace veltrap {

// The "Individual Page Details" view of one page of the profiled site: every
// distinct linking url that points at it, with its keyphrase and PageRank,
// highest PageRank first. Does nothing unless reportReady. A PageRank whose
// lookup failed carries a note naming the service and the reason.
PaneResult FillPageDetails(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                           std::string_view page,
                           const LookupServices& services = LookupServices());

}  // namespace veltrap
