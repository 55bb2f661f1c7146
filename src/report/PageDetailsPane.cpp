#include "report/PageDetailsPane.h"

#include "report/CaseInsensitiveIndex.h"
#include "report/PaneSupport.h"

#include <string>

namespace veltrap {

PaneResult FillPageDetails(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                           std::string_view page, const LookupServices& services) {
    if (!reportReady) {
        return {};
    }
    StartPane(grid, 3);
    grid.SetHeader(0, "URL's linking to: " + std::string(page), false);
    grid.SetHeader(1, "Linked Keyphrase", false);
    grid.SetHeader(2, "Page Rank", true);
    grid.SetFraction(0, 0.45f);
    grid.SetFraction(1, 0.40f);
    grid.SetFraction(2, 0.15f);

    CaseInsensitiveIndex listed;
    for (const BacklinkRecord& record : list) {
        if (record.url.empty() || !EqualsIgnoreCase(record.href, page) ||
            !listed.Insert(record.url).second) {
            continue;
        }
        const int row = grid.AddRow();
        grid.SetCell(row, 0, record.url);
        grid.SetCell(row, 1, record.anchorText);
        SetLookedUpCell(grid, row, 2, NumberOrNa(record.pageRank), record, RecordField::kPageRank,
                        services);
    }
    grid.SortDescending(2);
    return FinishPane(grid, "Double click any url to visit that page", "Individual Page Details");
}

}  // namespace veltrap
