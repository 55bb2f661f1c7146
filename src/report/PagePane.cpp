#include "report/PagePane.h"

#include "report/CaseInsensitiveIndex.h"
#include "report/PaneSupport.h"

#include <string>
#include <vector>

namespace veltrap {

PaneResult FillPagePane(ReportGrid& grid, const BacklinkList& list, bool reportReady) {
    if (!reportReady) {
        return {};
    }
    StartPane(grid, 2);
    grid.SetHeader(0, "Link in Profiled Site", false);
    grid.SetHeader(1, "# of Pages Linking To It", true);
    grid.SetFraction(0, 0.65f);
    grid.SetFraction(1, 0.35f);

    // A page gets a row from its first record with a keyphrase, but its count
    // takes in every record of the list that links to it and brings a url not
    // seen anywhere earlier, keyphrase or not.
    CaseInsensitiveIndex urls(list.size());
    CaseInsensitiveIndex pages;
    std::vector<int> counts;
    std::vector<bool> hasRow;
    struct PageRow {
        const BacklinkRecord* first;
        std::size_t page;
    };
    std::vector<PageRow> rows;
    for (const BacklinkRecord& record : list) {
        const auto [page, newPage] = pages.Insert(record.href);
        if (newPage) {
            counts.push_back(0);
            hasRow.push_back(false);
        }
        const auto at = static_cast<std::size_t>(page);
        if (urls.Insert(record.url).second) {
            ++counts[at];
        }
        if (!record.anchorText.empty() && !hasRow[at]) {
            hasRow[at] = true;
            rows.push_back(PageRow{&record, at});
        }
    }

    for (const PageRow& pageRow : rows) {
        const int row = grid.AddRow();
        grid.SetCell(row, 0, pageRow.first->href);
        grid.SetCell(row, 1, std::to_string(counts[pageRow.page]));
    }
    grid.SortDescending(1);
    return FinishPane(grid, "Double click any page to see backlink details");
}

}  // namespace veltrap
