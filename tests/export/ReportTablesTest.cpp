#include "export/ReportTables.h"

#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace veltrap {
namespace {

void Add(BacklinkList& list, std::string url, std::string href, std::string anchorText) {
    list.Append(std::move(url));
    BacklinkRecord& record = *std::prev(list.end());
    record.href = std::move(href);
    record.anchorText = std::move(anchorText);
}

BacklinkList SampleList() {
    BacklinkList list;
    Add(list, "http://a.com", "http://site.com/", "Blue, Widgets");
    Add(list, "http://b.com/page", "http://site.com/x", "blue, widgets");
    Add(list, "http://c.com", "http://site.com/x", "red");
    return list;
}

TEST(ReportTablesTest, EachFileIsTheExportOfItsTab) {
    const BacklinkList list = SampleList();
    const std::vector<ReportFile> files = ReportTables(list, {});
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[3].name, "links.csv");

    const std::pair<const char*, PaneResult (*)(ReportGrid&, const BacklinkList&, bool)> tabs[] = {
        {"overview.csv", &FillOverviewPane},
        {"keyphrases.csv", &FillKeyphrasePane},
        {"pages.csv", &FillPagePane}};
    for (std::size_t n = 0; n < std::size(tabs); ++n) {
        const auto& [name, fill] = tabs[n];
        ReportGrid grid;
        fill(grid, list, true);
        EXPECT_EQ(files[n].name, name);
        EXPECT_EQ(files[n].Bytes(), GridCsv(grid)) << name;
    }
    EXPECT_EQ(files[1].Bytes(),
              "Link Text,Occurances,Google Rank,Yahoo Rank,MSN Rank\n"
              "Blue  Widgets,2,NA,NA,NA\n"
              "red,1,NA,NA,NA\n");
    const std::string overview = files[0].Bytes();
    EXPECT_EQ(std::count(overview.begin(), overview.end(), '\n'), 1 + 4 + 3);
}

}  // namespace
}  // namespace veltrap
