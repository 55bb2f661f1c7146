#include "report/ReportGrid.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace veltrap {
namespace {

// A grid with one column holding the given cells, one row each.
ReportGrid OneColumn(const std::vector<std::string>& cells) {
    ReportGrid grid;
    grid.Setup(grid.Left(), grid.Top(), 1, grid.Width(), grid.VisibleRows());
    grid.SetFraction(0, 1.0f);
    for (const std::string& cell : cells) {
        grid.SetCell(grid.AddRow(), 0, cell);
    }
    return grid;
}

std::vector<std::string> Column(const ReportGrid& grid, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < grid.RowCount(); ++row) {
        cells.push_back(grid.Cell(row, column));
    }
    return cells;
}

TEST(ReportGridTest, StartsUnconfiguredWithFiveEqualColumns) {
    const ReportGrid grid;
    EXPECT_EQ(grid.Left(), 22);
    EXPECT_EQ(grid.Top(), 81);
    EXPECT_EQ(grid.Width(), 737);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.VisibleRows(), 15);
    EXPECT_EQ(grid.Columns(), 5);
    EXPECT_EQ(grid.FirstRow(), 0);
    EXPECT_FALSE(grid.Configured());
    EXPECT_EQ(grid.Height(), 15 * 18 + 18);
    EXPECT_EQ(grid.ColumnBoundaries(), (std::vector<int>{22, 169, 316, 463, 610, 757}));
}

TEST(ReportGridTest, SetupStartsOverAndOutOfRangeStoresAreIgnored) {
    ReportGrid grid = OneColumn(
        {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q", "r"});
    grid.SetHeader(0, "Old", true);
    grid.SetFirstRow(3);
    grid.SetConfigured(false);
    grid.Setup(10, 20, 2, 300, 4);
    EXPECT_TRUE(grid.Configured());
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.FirstRow(), 0);
    EXPECT_EQ(grid.Columns(), 2);
    EXPECT_EQ(grid.Header(0), "");
    EXPECT_FALSE(grid.Sortable(0));
    EXPECT_EQ(grid.Fraction(1), 0.0f);

    EXPECT_EQ(grid.AddRow(), 0);
    EXPECT_EQ(grid.AddRow(), 1);
    grid.SetCell(1, 1, "kept");
    grid.SetCell(2, 0, "no such row");
    grid.SetCell(-1, 0, "no such row");
    grid.SetCell(0, 2, "no such column");
    grid.SetHeader(2, "no such column", true);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(1, 1), "kept");
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(2, 0), "");
    EXPECT_EQ(grid.Header(2), "");
    EXPECT_FALSE(grid.Sortable(2));
}

TEST(ReportGridTest, MaxScrollAndFirstRowClamp) {
    std::vector<std::string> cells(15, "x");
    ReportGrid grid = OneColumn(cells);
    EXPECT_EQ(grid.MaxScroll(), 0);
    grid.SetCell(grid.AddRow(), 0, "16th");
    EXPECT_EQ(grid.MaxScroll(), 1);
    grid.SetFirstRow(5);
    EXPECT_EQ(grid.FirstRow(), 1);
    grid.SetFirstRow(-3);
    EXPECT_EQ(grid.FirstRow(), 0);
}

TEST(ReportGridTest, SortsDescendingWithNaAndTextAsZero) {
    ReportGrid grid = OneColumn({"NA", "3", "12"});
    grid.SortDescending(0);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"12", "3", "NA"}));
    grid.SortDescending(0);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"12", "3", "NA"}));

    grid = OneColumn({"-4", "abc", "0", "NA", "", "7", "-1"});
    grid.SortDescending(0);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"7", "abc", "0", "NA", "", "-1", "-4"}));
}

TEST(ReportGridTest, SortKeepsEqualKeysInOrderAndMovesWholeRows) {
    ReportGrid grid;
    grid.Setup(0, 0, 2, 100, 15);
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"first", "2"}, {"second", "5"}, {"third", "2"}, {"fourth", "02"}, {"fifth", "5"}};
    for (const auto& [name, value] : rows) {
        const int row = grid.AddRow();
        grid.SetCell(row, 0, name);
        grid.SetCell(row, 1, value);
    }
    grid.SetFirstRow(0);
    grid.SortDescending(1);
    EXPECT_EQ(Column(grid, 0),
              (std::vector<std::string>{"second", "fifth", "first", "third", "fourth"}));
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"5", "5", "2", "2", "02"}));
    grid.SortDescending(7);
    EXPECT_EQ(Column(grid, 0),
              (std::vector<std::string>{"second", "fifth", "first", "third", "fourth"}));
}

// Text sorts by bytes with only ASCII letters folded: UTF-8 and Windows-1252
// bytes come after every ASCII letter, and "B" and "b" are one key, so the
// rows holding them keep their order.
TEST(ReportGridTest, SortsTextFromAToZFoldingOnlyAsciiLetters) {
    ReportGrid grid = OneColumn({"b", "\xc3\xa9t\xc3\xa9", "", "B", "a", "Z", "cr\xe8me", "\x01"});
    grid.SortByText(0);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"", "\x01", "a", "b", "B", "cr\xe8me", "Z",
                                                         "\xc3\xa9t\xc3\xa9"}));
    std::string withNul("a\0b", 3);
    grid = OneColumn({withNul, "a", "A"});
    grid.SortByText(0);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"a", "A", withNul}));
}

TEST(CellSortKeyTest, LeadingIntegerLikeTheCLibrary) {
    EXPECT_EQ(CellSortKey("NA"), 0);
    EXPECT_EQ(CellSortKey("na"), 0);
    EXPECT_EQ(CellSortKey("NA5"), 0);
    EXPECT_EQ(CellSortKey(""), 0);
    EXPECT_EQ(CellSortKey("-"), 0);
    EXPECT_EQ(CellSortKey("+"), 0);
    EXPECT_EQ(CellSortKey(" \t\r\n\v\f42"), 42);
    EXPECT_EQ(CellSortKey("+17x"), 17);
    EXPECT_EQ(CellSortKey("-17 18"), -17);
    EXPECT_EQ(CellSortKey("- 5"), 0);
    EXPECT_EQ(CellSortKey("0x1F"), 0);
    EXPECT_EQ(CellSortKey(std::string("12\0"
                                      "34",
                                      5)),
              12);
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(CellSortKey("9223372036854775806"), kMax - 1);
    EXPECT_EQ(CellSortKey("9223372036854775807"), kMax);
    EXPECT_EQ(CellSortKey("9223372036854775808"), kMax);
    EXPECT_EQ(CellSortKey("-9223372036854775808"), kMin);
    EXPECT_EQ(CellSortKey("-9223372036854775809"), kMin);
    EXPECT_EQ(CellSortKey("123456789012345678901234567890"), kMax);
}

TEST(ReportGridTest, BoundariesTruncateAtEveryStep) {
    ReportGrid grid;
    grid.Setup(0, 0, 3, 100, 15);
    for (int column = 0; column < 3; ++column) {
        grid.SetFraction(column, 1.0f / 3.0f);
    }
    // Rounding would give 33, 67, 100; truncation loses a pixel per column.
    EXPECT_EQ(grid.ColumnBoundaries(), (std::vector<int>{0, 33, 66, 99}));

    grid.Setup(22, 81, 5, 737, 15);
    grid.SetFraction(0, 0.48f);
    for (int column = 1; column < 5; ++column) {
        grid.SetFraction(column, 0.13f);
    }
    EXPECT_EQ(grid.ColumnBoundaries(), (std::vector<int>{22, 375, 470, 565, 660, 755}));
    // Four pixels are lost before the right edge; they belong to the last column.
    EXPECT_EQ(grid.HitTest(756, 100).column, 4);
    EXPECT_EQ(grid.HitTest(758, 100).column, 4);
}

TEST(ReportGridTest, HitTestEdgesAreOutside) {
    const ReportGrid grid;  // 22, 81, 737 wide, 15 rows: bottom edge at 369
    EXPECT_FALSE(grid.HitTest(22, 100).inside);
    EXPECT_FALSE(grid.HitTest(759, 100).inside);
    EXPECT_FALSE(grid.HitTest(100, 81).inside);
    EXPECT_FALSE(grid.HitTest(100, 369).inside);
    EXPECT_FALSE(grid.HitTest(std::numeric_limits<int>::max(), 100).inside);

    GridHit hit = grid.HitTest(23, 82);
    EXPECT_TRUE(hit.inside);
    EXPECT_EQ(hit.row, 0);
    EXPECT_EQ(hit.column, 0);
    EXPECT_EQ(grid.HitTest(100, 98).row, 0);
    EXPECT_EQ(grid.HitTest(100, 99).row, 1);
    EXPECT_EQ(grid.HitTest(100, 368).row, 15);
}

TEST(ReportGridTest, HitTestColumnsFollowTheBoundaries) {
    const ReportGrid grid;  // boundaries 22, 169, 316, 463, 610, 757
    EXPECT_EQ(grid.HitTest(169, 100).column, 0);
    EXPECT_EQ(grid.HitTest(170, 100).column, 1);
    EXPECT_EQ(grid.HitTest(610, 100).column, 3);
    EXPECT_EQ(grid.HitTest(611, 100).column, 4);
    EXPECT_EQ(grid.HitTest(757, 100).column, 4);
    // Right of the last boundary but still inside the grid.
    EXPECT_EQ(grid.HitTest(758, 100).column, 4);

    ReportGrid none;
    none.Setup(0, 0, 0, 100, 15);
    EXPECT_TRUE(none.HitTest(50, 50).inside);
    EXPECT_EQ(none.HitTest(50, 50).column, -1);
}

TEST(ReportGridTest, ScrollRequestsOfFortyRows) {
    ReportGrid grid = OneColumn(std::vector<std::string>(40, "x"));  // max 25, page 15
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kPageDown), 15);
    grid.SetFirstRow(15);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kPageDown), 25);
    grid.SetFirstRow(9);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kPageDown), 24);
    grid.SetFirstRow(10);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kPageDown), 25);

    grid.SetFirstRow(16);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kPageUp), 1);
    grid.SetFirstRow(15);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kPageUp), 0);

    grid.SetFirstRow(0);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kLineUp), 0);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kLineDown), 1);
    grid.SetFirstRow(25);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kLineDown), 25);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kLineUp), 24);

    grid.SetFirstRow(7);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kTop), 0);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kBottom), 25);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kEndScroll), 7);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kThumbTrack, 12), 12);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kThumbPosition, 26), 25);
    EXPECT_EQ(grid.ScrollTarget(ScrollRequest::kThumbPosition, -1), 0);
}

TEST(ReportGridTest, ScrollRequestsOfAShortList) {
    const ReportGrid grid = OneColumn({"a", "b"});
    for (const ScrollRequest request :
         {ScrollRequest::kLineUp, ScrollRequest::kLineDown, ScrollRequest::kPageUp,
          ScrollRequest::kPageDown, ScrollRequest::kThumbTrack, ScrollRequest::kTop,
          ScrollRequest::kBottom, ScrollRequest::kEndScroll}) {
        EXPECT_EQ(grid.ScrollTarget(request, 3), 0);
    }
}

}  // namespace
}  // namespace veltrap
