#include "export/ExportGridToCsv.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace veltrap {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
using namespace std::string_literals;

ReportGrid MakeGrid(const std::vector<std::string>& headers,
                    const std::vector<std::vector<std::string>>& rows) {
    ReportGrid grid;
    const int columns = static_cast<int>(headers.size());
    grid.Setup(grid.Left(), grid.Top(), columns, grid.Width(), grid.VisibleRows());
    for (int column = 0; column < columns; ++column) {
        grid.SetHeader(column, headers[static_cast<std::size_t>(column)], column > 0);
    }
    for (const auto& cells : rows) {
        const int row = grid.AddRow();
        for (int column = 0; column < columns; ++column) {
            grid.SetCell(row, column, cells[static_cast<std::size_t>(column)]);
        }
    }
    return grid;
}

TEST(ExportGridToCsvTest, HeaderThenEveryRowWithLineFeedsOnly) {
    const TempDir dir;
    const ReportGrid grid =
        MakeGrid({"Link Text", "Occurances", "Google Rank"},
                 {{"blue widgets", "3", "NA"}, {"", "1", "12"}, {"last row", "0", ""}});
    ASSERT_TRUE(ExportGridToCsv(grid, dir.File("out.csv")).ok());
    EXPECT_EQ(ReadFileBytes(dir.File("out.csv")),
              "Link Text,Occurances,Google Rank\n"
              "blue widgets,3,NA\n"
              ",1,12\n"
              "last row,0,\n");
}

TEST(ExportGridToCsvTest, CommasAndLineBreaksBecomeBlanksAndNothingIsQuoted) {
    const TempDir dir;
    const ReportGrid grid = MakeGrid(
        {"Head,er"}, {{"red, green,blue"}, {"say \"hi\"\r"}, {"two\r\nlines\n"}, {"nul\0byte"s}});
    ASSERT_TRUE(ExportGridToCsv(grid, dir.File("out.csv")).ok());
    EXPECT_EQ(ReadFileBytes(dir.File("out.csv")),
              "Head er\nred  green blue\nsay \"hi\" \ntwo  lines \nnul\0byte\n"s);
}

TEST(ExportGridToCsvTest, GridWithoutRowsGivesAnEmptyFileOverAnOldOne) {
    const TempDir dir;
    WriteFileBytes(dir.File("old.csv"), "old content\n");
    const ReportGrid grid = MakeGrid({"Overview"}, {});
    ASSERT_TRUE(ExportGridToCsv(grid, dir.File("old.csv")).ok());
    EXPECT_TRUE(std::filesystem::exists(dir.File("old.csv")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("old.csv")), 0u);
}

TEST(ExportGridToCsvTest, PathsThatCannotBeCreatedFail) {
    const TempDir dir;
    const ReportGrid grid = MakeGrid({"a"}, {{"b"}});
    EXPECT_FALSE(ExportGridToCsv(grid, dir.File("missing/out.csv")).ok());
    EXPECT_FALSE(ExportGridToCsv(grid, dir.Path().string()).ok());
    EXPECT_FALSE(ExportGridToCsv(grid, "").ok());
    const std::string cut = dir.File("cut");
    EXPECT_FALSE(ExportGridToCsv(grid, cut + "\0.csv"s).ok());
    EXPECT_FALSE(std::filesystem::exists(cut));
}

// Only the system limits a path: paths of 260 bytes and more are written, a
// name longer than the file system allows is not.
TEST(ExportGridToCsvTest, PathLengthIsTheSystemsToLimit) {
    const TempDir dir;
    const ReportGrid grid = MakeGrid({"a"}, {{"b"}});
    const std::filesystem::path deep = dir.Path() / std::string(150, 'x') / std::string(150, 'x');
    std::filesystem::create_directories(deep);
    const std::string longPath = (deep / std::string(200, 'y')).string();
    ASSERT_GE(longPath.size(), 500u);
    EXPECT_TRUE(ExportGridToCsv(grid, longPath).ok());
    EXPECT_EQ(ReadFileBytes(longPath), "a\nb\n");
    EXPECT_FALSE(ExportGridToCsv(grid, dir.File(std::string(300, 'z'))).ok());
}

TEST(ExportGridToCsvTest, FailedWriteIsNotReportedAsSuccess) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    const ReportGrid grid = MakeGrid({"a", "b"}, {{"1", "2"}});
    EXPECT_EQ(ExportGridToCsv(grid, "/dev/full").reason(),
              "cannot write /dev/full: No space left on device");
    EXPECT_TRUE(ExportGridToCsv(MakeGrid({"a"}, {}), "/dev/full").ok());
}

}  // namespace
}  // namespace veltrap
