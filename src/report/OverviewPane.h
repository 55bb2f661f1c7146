#pragma once

#include "engine/BacklinkList.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <string_view>

namespace veltrap {

// True when url points at a site's home page: nothing but the host follows
// the first "//" (or the start, when there is none). A slash after the host,
// a single trailing one included, makes it an inner page.
bool IsHomePageLink(std::string_view url);

// The "Overview" tab: the two totals, a label, then every non-empty url in
// list order. Does nothing unless reportReady.
PaneResult FillOverviewPane(ReportGrid& grid, const BacklinkList& list, bool reportReady);

}  // namespace veltrap
