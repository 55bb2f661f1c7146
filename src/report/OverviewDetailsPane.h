#pragma once

#include "engine/BacklinkList.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <string_view>

namespace veltrap {

// The "Overview Details" view of one keyphrase: every distinct linking url that
// uses it, with the page's and its home page's PageRank and the link type,
// highest PageRank first. Does nothing unless reportReady.
PaneResult FillOverviewDetails(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                               std::string_view keyphrase);

}  // namespace veltrap
