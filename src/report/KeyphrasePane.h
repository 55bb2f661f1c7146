#pragma once

#include "engine/BacklinkList.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

namespace veltrap {

// The "Detailed Link Report" tab: one row per keyphrase (compared without
// regard to case) with how many distinct linking pages use it and the site's
// three search ranks, most used first. Does nothing unless reportReady.
PaneResult FillKeyphrasePane(ReportGrid& grid, const BacklinkList& list, bool reportReady);

}  // namespace veltrap
