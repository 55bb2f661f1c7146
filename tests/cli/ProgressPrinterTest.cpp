#include "cli/ProgressPrinter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace veltrap {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

TEST(ProgressPrinterTest, StatusLinesOneALineWithoutControlBytes) {
    std::ostringstream stream;
    ProgressPrinter printer(stream, false);
    printer.Status("Indexing Backlinks...");
    printer.Record(0, 3);
    printer.Status("Examining http://a.example/...\r\n");
    printer.Status("Examining x\x1b[2J\ny...\r\n");
    printer.Finish();
    EXPECT_EQ(stream.str(),
              "Indexing Backlinks...\nExamining http://a.example/...\nExamining x?[2J?y...\n");
}

TEST(ProgressPrinterTest, TerminalGetsABarUnderTheLines) {
    std::ostringstream stream;
    ProgressPrinter printer(stream, true);
    printer.Record(0, 4);
    EXPECT_THAT(stream.str(), HasSubstr("[#######-----------------------] record 1 of 4"));
    printer.Status("Examining a...\r\n");
    EXPECT_THAT(stream.str(), HasSubstr("\r\x1b[KExamining a...\n[#######"));
    printer.Record(3, 4);
    EXPECT_THAT(stream.str(), EndsWith("[##############################] record 4 of 4"));
    printer.Finish();
    EXPECT_THAT(stream.str(), EndsWith("record 4 of 4\r\x1b[K"));
}

}  // namespace
}  // namespace veltrap
