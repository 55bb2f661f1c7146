#pragma once

#include "engine/BacklinkList.h"
#include "engine/LookupServices.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

namespace veltrap {

// The "Detailed Link Report" tab: one row per keyphrase (compared without
// regard to case) with how many distinct linking pages use it and the site's
// three search ranks, most used first. Does nothing unless reportReady. A
// rank whose lookup failed carries a note naming the service and the reason.
PaneResult FillKeyphrasePane(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                             const LookupServices& services);
// The same without the services' names, for tables that tell no failures.
PaneResult FillKeyphrasePane(ReportGrid& grid, const BacklinkList& list, bool reportReady);

}  // namespace veltrap
