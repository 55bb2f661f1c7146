#pragma once

#include "engine/BacklinkList.h"
#include "engine/LookupServices.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <string_view>

namespace veltrap {

// The "Overview Details" view of one keyphrase: every distinct linking url that
// uses it, with the page's and its home page's PageRank and the link type,
// highest PageRank first. Does nothing unless reportReady. A value whose
// lookup failed carries a note naming the service and the reason.
PaneResult FillOverviewDetails(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                               std::string_view keyphrase,
                               const LookupServices& services = LookupServices());

}  // namespace veltrap
