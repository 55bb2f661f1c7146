#include "report/KeyphrasePane.h"
#include "report/LinkStatusPane.h"
#include "report/OverviewDetailsPane.h"
#include "report/OverviewPane.h"
#include "report/PageDetailsPane.h"
#include "report/PagePane.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace veltrap {
namespace {

BacklinkRecord& Add(BacklinkList& list, std::string url, std::string href = "http://site.com/",
                    std::string anchorText = "widgets") {
    list.Append(std::move(url));
    BacklinkRecord& record = *std::prev(list.end());
    record.href = std::move(href);
    record.anchorText = std::move(anchorText);
    return record;
}

std::vector<std::vector<std::string>> Rows(const ReportGrid& grid) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        auto& cells = rows.emplace_back();
        for (int column = 0; column < grid.Columns(); ++column) {
            cells.push_back(grid.Cell(row, column));
        }
    }
    return rows;
}

using Table = std::vector<std::vector<std::string>>;

TEST(OverviewPaneTest, HomePageTest) {
    EXPECT_TRUE(IsHomePageLink("http://example.com"));
    EXPECT_TRUE(IsHomePageLink("example.com"));
    EXPECT_TRUE(IsHomePageLink("http://"));
    EXPECT_TRUE(IsHomePageLink("http:///"));  // one character left after the host start
    EXPECT_TRUE(IsHomePageLink("x/"));        // no "//": the host starts at 1
    EXPECT_FALSE(IsHomePageLink("http://example.com/"));
    EXPECT_FALSE(IsHomePageLink("http://example.com/page.html"));
    EXPECT_FALSE(IsHomePageLink("example.com/page"));
    EXPECT_FALSE(IsHomePageLink("http://a//"));
}

TEST(OverviewPaneTest, TotalsLabelAndEveryUrlInOrder) {
    BacklinkList list;
    Add(list, "http://b.com/page");
    Add(list, "http://a.com");
    Add(list, "");
    Add(list, "http://a.com");
    Add(list, "http://c.com/");
    ReportGrid grid;
    const PaneResult result = FillOverviewPane(grid, list, true);
    EXPECT_TRUE(result.filled);
    EXPECT_EQ(result.hintText, "Double click any URL to view this page.");
    EXPECT_EQ(result.tabTitle, "");
    EXPECT_EQ(grid.Columns(), 1);
    EXPECT_EQ(Rows(grid), (Table{{"Total Back Links: 4"},
                                 {"Total Home Page Links: 2"},
                                 {""},
                                 {"URLs of Linking Sites:"},
                                 {"http://b.com/page"},
                                 {"http://a.com"},
                                 {"http://a.com"},
                                 {"http://c.com/"}}));
}

TEST(OverviewPaneTest, EmptyStoreGivesZeroTotals) {
    const BacklinkList list;
    ReportGrid grid;
    EXPECT_TRUE(FillOverviewPane(grid, list, true).filled);
    EXPECT_EQ(Rows(grid), (Table{{"Total Back Links: 0"},
                                 {"Total Home Page Links: 0"},
                                 {""},
                                 {"URLs of Linking Sites:"}}));
}

TEST(OverviewPaneTest, ScrollBarDisabledAtFifteenRowsAndRangeOneAtSixteen) {
    BacklinkList list;
    for (int i = 0; i < 11; ++i) {
        Add(list, "http://a.com/" + std::to_string(i));
    }
    ReportGrid grid;
    PaneResult result = FillOverviewPane(grid, list, true);
    EXPECT_EQ(grid.RowCount(), 15);
    EXPECT_FALSE(result.scrollEnabled);
    EXPECT_EQ(result.scrollMax, 0);

    Add(list, "http://a.com/11");
    result = FillOverviewPane(grid, list, true);
    EXPECT_EQ(grid.RowCount(), 16);
    EXPECT_TRUE(result.scrollEnabled);
    EXPECT_EQ(result.scrollMax, 1);
}

TEST(PaneTest, NoPaneFillsBeforeTheReportIsReady) {
    BacklinkList list;
    Add(list, "http://a.com");
    ReportGrid grid;
    grid.Setup(1, 2, 1, 30, 4);
    grid.SetHeader(0, "Before", true);
    grid.SetCell(grid.AddRow(), 0, "kept");
    grid.SetFirstRow(0);
    const std::vector<PaneResult> results = {
        FillOverviewPane(grid, list, false), FillKeyphrasePane(grid, list, false),
        FillPagePane(grid, list, false), FillOverviewDetails(grid, list, false, "widgets"),
        FillPageDetails(grid, list, false, "http://site.com/")};
    for (const PaneResult& result : results) {
        EXPECT_FALSE(result.filled);
        EXPECT_EQ(result.hintText, "");
    }
    EXPECT_EQ(grid.Left(), 1);
    EXPECT_EQ(grid.Header(0), "Before");
    EXPECT_EQ(Rows(grid), (Table{{"kept"}}));
}

TEST(PaneTest, RefillKeepsTheGridsPositionAndPageSize) {
    const BacklinkList list;
    ReportGrid grid;
    grid.Setup(5, 6, 2, 400, 10);
    FillKeyphrasePane(grid, list, true);
    EXPECT_EQ(grid.Left(), 5);
    EXPECT_EQ(grid.Top(), 6);
    EXPECT_EQ(grid.Width(), 400);
    EXPECT_EQ(grid.VisibleRows(), 10);
    EXPECT_EQ(grid.Columns(), 5);
    EXPECT_TRUE(grid.Configured());
}

TEST(KeyphrasePaneTest, CaseVariantsShareOneRowAndRepeatedUrlsCountOnce) {
    BacklinkList list;
    BacklinkRecord& first = Add(list, "http://a.com", "http://site.com/", "Blue Widgets");
    first.sitePos[RankColumn::kGoogle] = 4;
    first.sitePos[RankColumn::kMsn] = 0;
    Add(list, "HTTP://A.COM", "http://site.com/", "blue widgets");
    Add(list, "http://b.com", "http://site.com/", "BLUE WIDGETS").sitePos[RankColumn::kGoogle] = 9;
    Add(list, "http://c.com", "http://site.com/", "");
    Add(list, "http://d.com", "http://site.com/", "red");
    ReportGrid grid;
    FillKeyphrasePane(grid, list, true);
    EXPECT_EQ(Rows(grid),
              (Table{{"Blue Widgets", "2", "4", "NA", "0"}, {"red", "1", "NA", "NA", "NA"}}));
}

TEST(KeyphrasePaneTest, UrlSeenEarlierUnderAnotherKeyphraseDoesNotCount) {
    BacklinkList list;
    Add(list, "http://x.com", "http://site.com/", "red");
    Add(list, "http://y.com", "http://site.com/", "blue");
    Add(list, "http://X.com", "http://site.com/", "blue");
    Add(list, "http://z.com", "http://site.com/", "blue");
    ReportGrid grid;
    FillKeyphrasePane(grid, list, true);
    EXPECT_EQ(Rows(grid), (Table{{"blue", "2", "NA", "NA", "NA"}, {"red", "1", "NA", "NA", "NA"}}));
}

TEST(PagePaneTest, CountsEveryLinkToThePageButListsOnlyPagesWithAKeyphrase) {
    BacklinkList list;
    Add(list, "http://a.com", "http://site.com/about", "");
    Add(list, "http://b.com", "http://site.com/", "home");
    Add(list, "http://c.com", "HTTP://SITE.COM/ABOUT", "about us");
    Add(list, "http://A.com", "http://site.com/about", "about");
    Add(list, "http://b.com", "http://site.com/only-repeats", "x");
    Add(list, "http://d.com", "http://site.com/never-listed", "");
    ReportGrid grid;
    const PaneResult result = FillPagePane(grid, list, true);
    EXPECT_EQ(result.hintText, "Double click any page to see backlink details");
    EXPECT_FALSE(grid.Sortable(0));
    EXPECT_EQ(Rows(grid), (Table{{"HTTP://SITE.COM/ABOUT", "2"},
                                 {"http://site.com/", "1"},
                                 {"http://site.com/only-repeats", "0"}}));
}

TEST(OverviewDetailsTest, DistinctUrlsOfOneKeyphraseByPageRank) {
    BacklinkList list;
    BacklinkRecord& a = Add(list, "http://a.com", "http://site.com/", "Widgets");
    a.pageRank = 3;
    a.reciprocal = true;
    Add(list, "HTTP://A.COM", "http://site.com/", "widgets").pageRank = 9;
    Add(list, "", "http://site.com/", "widgets");
    BacklinkRecord& b = Add(list, "http://b.com", "http://site.com/x", "WIDGETS");
    b.pageRank = 5;
    b.homePageRank = 6;
    Add(list, "http://c.com", "http://site.com/", "gadgets").pageRank = 8;
    Add(list, "http://d.com", "http://site.com/", "widgets");
    ReportGrid grid;
    const PaneResult result = FillOverviewDetails(grid, list, true, "wIdGeTs");
    EXPECT_EQ(result.tabTitle, "Overview Details");
    EXPECT_EQ(result.hintText, "Double click any url to visit that page");
    EXPECT_EQ(grid.Header(0), "URL's linked with: wIdGeTs");
    EXPECT_EQ(Rows(grid), (Table{{"http://b.com", "5", "6", "One Way"},
                                 {"http://a.com", "3", "NA", "Reciprocal"},
                                 {"http://d.com", "NA", "NA", "One Way"}}));
}

TEST(PageDetailsTest, DistinctUrlsLinkingToOnePageByPageRank) {
    BacklinkList list;
    Add(list, "http://a.com", "http://site.com/x", "alpha").pageRank = 1;
    Add(list, "http://a.com", "http://site.com/x", "again");
    Add(list, "http://b.com", "HTTP://SITE.COM/X", "").pageRank = 4;
    Add(list, "http://c.com", "http://site.com/y", "gamma").pageRank = 7;
    ReportGrid grid;
    const PaneResult result = FillPageDetails(grid, list, true, "http://site.com/X");
    EXPECT_EQ(result.tabTitle, "Individual Page Details");
    EXPECT_EQ(result.hintText, "Double click any url to visit that page");
    EXPECT_EQ(grid.Header(0), "URL's linking to: http://site.com/X");
    EXPECT_EQ(Rows(grid), (Table{{"http://b.com", "", "4"}, {"http://a.com", "alpha", "1"}}));
}

// Kept and removed pages stand in the run's list order, each with its status.
TEST(LinkStatusPaneTest, EveryLinkingPageInListOrderWithItsStatus) {
    BacklinkList kept;
    BacklinkRecord& first = Add(kept, "http://a.com/");
    first.linkStatus = "ugc";
    first.httpStatus = 200;
    first.rel = "nofollow ugc";
    first.reciprocal = true;
    BacklinkRecord& second = Add(kept, "http://b.com/");
    second.linkStatus = "noindex";
    second.httpStatus = 203;
    Add(kept, "http://c.com/");  // not reached before a cancel
    const std::vector<UnlinkedRecord> unlinked = {
        {"http://site.com/own", "own-site", 0, 0}, {"http://gone.com/", "gone", 410, 1},
        {"http://down.com/", "unreachable", 0, 1}, {"http://moved.com/", "not-found", 200, 3},
        {"http://err.com/", "error", 500, 3},
    };
    ReportGrid grid;
    const PaneResult result = FillLinkStatusPane(grid, kept, unlinked, true);
    EXPECT_TRUE(result.filled);
    EXPECT_EQ(grid.Header(0), "Linking Page");
    EXPECT_EQ(grid.Header(4), "Link Type");
    EXPECT_EQ(Rows(grid), (Table{
                              {"http://site.com/own", "Own site", "", "", ""},
                              {"http://a.com/", "UGC", "200", "nofollow ugc", "Reciprocal"},
                              {"http://gone.com/", "Page gone", "410", "", ""},
                              {"http://down.com/", "No answer", "", "", ""},
                              {"http://b.com/", "Noindex page", "203", "", "One Way"},
                              {"http://c.com/", "", "", "", "One Way"},
                              {"http://moved.com/", "Link not found", "200", "", ""},
                              {"http://err.com/", "HTTP error", "500", "", ""},
                          }));
    for (const char* status : {"follow", "nofollow", "sponsored"}) {
        EXPECT_FALSE(LinkStatusWords(status).empty()) << status;
    }
    EXPECT_FALSE(FillLinkStatusPane(grid, kept, unlinked, false).filled);
}

// A value whose lookup failed reads as one not found, and its cell carries
// the service and the reason; the note stays with its row through sorting.
TEST(PaneTest, FailedLookupsCarryTheirServiceAndReasonInEveryPaneThatShowsThem) {
    BacklinkList list;
    Add(list, "http://a.com/", "http://site.com/", "alpha").pageRank = 3;
    BacklinkRecord& failed = Add(list, "http://b.com/", "http://site.com/", "beta");
    failed.failures = {{RecordField::kPageRank, "HTTP 503"},
                       {RecordField::kMsnSitePos, "no answer"},
                       {RecordField::kReciprocal, "refused"}};
    LookupServices services;
    services.Set(RecordField::kPageRank, "openpagerank");
    services.Set(RecordField::kReciprocal, "site");

    ReportGrid grid;
    FillKeyphrasePane(grid, list, true, services);
    ASSERT_EQ(grid.Cell(1, 0), "beta");
    EXPECT_EQ(grid.Cell(1, 4), "NA");
    // A field whose service the run did not name is told without it.
    EXPECT_EQ(grid.CellNote(1, 4), "Lookup failed: no answer");
    EXPECT_EQ(grid.CellNote(1, 2), "");
    EXPECT_EQ(grid.CellNote(0, 4), "");

    FillOverviewDetails(grid, list, true, "BETA", services);
    EXPECT_EQ(grid.Cell(0, 1), "NA");
    EXPECT_EQ(grid.CellNote(0, 1), "Lookup failed at openpagerank: HTTP 503");
    EXPECT_EQ(grid.CellNote(0, 2), "");
    EXPECT_EQ(grid.CellNote(0, 3), "Lookup failed at site: refused");

    FillPageDetails(grid, list, true, "http://site.com/", services);
    ASSERT_EQ(grid.Cell(0, 0), "http://a.com/");
    EXPECT_EQ(grid.CellNote(0, 2), "");
    EXPECT_EQ(grid.CellNote(1, 2), "Lookup failed at openpagerank: HTTP 503");
    grid.ReverseRows();
    EXPECT_EQ(grid.CellNote(0, 2), "Lookup failed at openpagerank: HTTP 503");
    EXPECT_EQ(grid.CellNote(1, 2), "");

    FillLinkStatusPane(grid, list, {}, true, nullptr, services);
    EXPECT_EQ(grid.Cell(1, 4), "One Way");
    EXPECT_EQ(grid.CellNote(1, 4), "Lookup failed at site: refused");
    // A new fill forgets the notes of the last.
    FillOverviewPane(grid, list, true);
    EXPECT_EQ(grid.CellNote(1, 0), "");
}

}  // namespace
}  // namespace veltrap
