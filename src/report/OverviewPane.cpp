#include "report/OverviewPane.h"

#include "report/PaneSupport.h"

#include <string>

namespace veltrap {

bool IsHomePageLink(std::string_view url) {
    const std::size_t slashes = url.find("//");
    const std::size_t start = slashes == std::string_view::npos ? 1 : slashes + 2;
    return start >= url.size() || url.find('/', start) == std::string_view::npos ||
           url.size() - start < 2;
}

PaneResult FillOverviewPane(ReportGrid& grid, const BacklinkList& list, bool reportReady) {
    if (!reportReady) {
        return {};
    }
    StartPane(grid, 1);
    grid.SetHeader(0, "Overview", false);
    grid.SetFraction(0, 1.0f);
    const int totalRow = grid.AddRow();
    const int homeRow = grid.AddRow();
    grid.AddRow();
    grid.SetCell(grid.AddRow(), 0, "URLs of Linking Sites:");
    int total = 0;
    int home = 0;
    for (const BacklinkRecord& record : list) {
        if (record.url.empty()) {
            continue;
        }
        ++total;
        if (IsHomePageLink(record.url)) {
            ++home;
        }
        grid.SetCell(grid.AddRow(), 0, record.url);
    }
    grid.SetCell(totalRow, 0, "Total Back Links: " + std::to_string(total));
    grid.SetCell(homeRow, 0, "Total Home Page Links: " + std::to_string(home));
    return FinishPane(grid, "Double click any URL to view this page.");
}

}  // namespace veltrap
