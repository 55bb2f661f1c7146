#pragma once

#include "engine/BacklinkList.h"
#include "engine/LookupServices.h"
#include "engine/UnlinkedRecord.h"
#include "report/LinkChanges.h"
#include "report/PaneResult.h"
#include "report/ReportGrid.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The "Link Status" tab: one row per linking page of the run, kept and
// removed, in the run's list order, with what became of its link. Does
// nothing unless reportReady. With changes since the previous run, a column
// "Change" tells them, and the pages that run kept and this one never saw
// follow as rows of their own, with the status "Not listed" and the change
// "Unlisted": nobody looked at them. A link type whose lookup failed carries
// a note naming the service and the reason.
// The columns of the tab's rows that later marks and changes rewrite.
inline constexpr int kLinkStatusColumn = 1;
inline constexpr int kLinkChangeColumn = 5;

PaneResult FillLinkStatusPane(ReportGrid& grid, const BacklinkList& kept,
                              const std::vector<UnlinkedRecord>& unlinked, bool reportReady,
                              const LinkChanges* changes = nullptr,
                              const LookupServices& services = LookupServices());

// The words the tab shows for a link status ("Follow", "Page gone", ...); a
// status the run did not reach shows as "".
std::string_view LinkStatusWords(std::string_view linkStatus);
// What the tab's "Status" column shows for a record: its words, marked
// ", Disavowed" when the user disavowed the page.
std::string LinkStatusCell(std::string_view linkStatus, bool disavowed);

}  // namespace veltrap
