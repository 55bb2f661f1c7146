#include "report/PagePane.h"

#include "report/PaneSupport.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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
    const std::vector<bool> newUrl = FirstUrlOccurrences(list);
    std::unordered_map<std::string_view, int, CaseInsensitiveHash, CaseInsensitiveEqual> counts;
    std::unordered_set<std::string_view, CaseInsensitiveHash, CaseInsensitiveEqual> listed;
    std::vector<const BacklinkRecord*> order;
    std::size_t index = 0;
    for (const BacklinkRecord& record : list) {
        if (newUrl[index++]) {
            ++counts[record.href];
        }
        if (!record.anchorText.empty() && listed.insert(record.href).second) {
            order.push_back(&record);
        }
    }

    for (const BacklinkRecord* first : order) {
        const auto found = counts.find(first->href);
        const int row = grid.AddRow();
        grid.SetCell(row, 0, first->href);
        grid.SetCell(row, 1, std::to_string(found == counts.end() ? 0 : found->second));
    }
    grid.SortDescending(1);
    return FinishPane(grid, "Double click any page to see backlink details");
}

}  // namespace veltrap
