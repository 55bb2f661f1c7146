#include "report/OverviewDetailsPane.h"

#include "report/CaseInsensitiveIndex.h"
#include "report/PaneSupport.h"

#include <string>

namespace veltrap {

PaneResult FillOverviewDetails(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                               std::string_view keyphrase, const LookupServices& services) {
    if (!reportReady) {
        return {};
    }
    StartPane(grid, 4);
    grid.SetHeader(0, "URL's linked with: " + std::string(keyphrase), false);
    grid.SetHeader(1, "Page Rank", true);
    grid.SetHeader(2, "Home Page PR", true);
    grid.SetHeader(3, "Link Type", false);
    grid.SetFraction(0, 0.55f);
    grid.SetFraction(1, 0.15f);
    grid.SetFraction(2, 0.15f);
    grid.SetFraction(3, 0.15f);

    CaseInsensitiveIndex listed;
    for (const BacklinkRecord& record : list) {
        if (record.url.empty() || !EqualsIgnoreCase(record.anchorText, keyphrase) ||
            !listed.Insert(record.url).second) {
            continue;
        }
        const int row = grid.AddRow();
        grid.SetCell(row, 0, record.url);
        SetLookedUpCell(grid, row, 1, NumberOrNa(record.pageRank), record, RecordField::kPageRank,
                        services);
        SetLookedUpCell(grid, row, 2, NumberOrNa(record.homePageRank), record,
                        RecordField::kHomePageRank, services);
        SetLookedUpCell(grid, row, 3, record.reciprocal ? "Reciprocal" : "One Way", record,
                        RecordField::kReciprocal, services);
    }
    grid.SortDescending(1);
    return FinishPane(grid, "Double click any url to visit that page", "Overview Details");
}

}  // namespace veltrap
