#include "export/WriteReportTables.h"

#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace veltrap {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

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

TEST(WriteReportTablesTest, EachFileIsTheExportOfItsTab) {
    const TempDir dir;
    const BacklinkList list = SampleList();
    std::string error;
    ASSERT_TRUE(WriteReportTables(list, {}, dir.Path(), error)) << error;
    EXPECT_EQ(error, "");

    const TempDir expected;
    const std::pair<const char*, PaneResult (*)(ReportGrid&, const BacklinkList&, bool)> tabs[] = {
        {"overview.csv", &FillOverviewPane},
        {"keyphrases.csv", &FillKeyphrasePane},
        {"pages.csv", &FillPagePane}};
    for (const auto& [name, fill] : tabs) {
        ReportGrid grid;
        fill(grid, list, true);
        ASSERT_TRUE(ExportGridToCsv(grid, expected.File(name)));
        EXPECT_EQ(ReadFileBytes(dir.File(name)), ReadFileBytes(expected.File(name))) << name;
    }
    EXPECT_EQ(ReadFileBytes(dir.File("keyphrases.csv")),
              "Link Text,Occurances,Google Rank,Yahoo Rank,MSN Rank\n"
              "Blue  Widgets,2,NA,NA,NA\n"
              "red,1,NA,NA,NA\n");
    const std::string overview = ReadFileBytes(dir.File("overview.csv"));
    EXPECT_EQ(std::count(overview.begin(), overview.end(), '\n'), 1 + 4 + 3);
}

TEST(WriteReportTablesTest, MissingFolderNamesTheFile) {
    const TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteReportTables(SampleList(), {}, dir.Path() / "missing", error));
    EXPECT_NE(error.find("overview.csv"), std::string::npos) << error;
}

}  // namespace
}  // namespace veltrap
