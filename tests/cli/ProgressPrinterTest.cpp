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
    printer.RecordDone(1, 3);
    printer.Status("Examining http://a.example/...\r\n");
    printer.Status("Examining x\x1b[2J\ny...\r\n");
    printer.Finish();
    EXPECT_EQ(stream.str(),
              "Indexing Backlinks...\nExamining http://a.example/...\nExamining x?[2J?y...\n");
}

TEST(ProgressPrinterTest, TerminalGetsABarUnderTheLines) {
    std::ostringstream stream;
    ProgressPrinter printer(stream, true);
    printer.RecordDone(1, 4);
    EXPECT_THAT(stream.str(), HasSubstr("[#######-----------------------] 1 of 4 records done"));
    printer.Status("Examining a...\r\n");
    EXPECT_THAT(stream.str(), HasSubstr("\r\x1b[KExamining a...\n[#######"));
    printer.RecordDone(4, 4);
    // A record that finishes late does not move the bar back.
    printer.RecordDone(3, 4);
    EXPECT_THAT(stream.str(), EndsWith("[##############################] 4 of 4 records done"));
    printer.Finish();
    EXPECT_THAT(stream.str(), EndsWith("4 of 4 records done\r\x1b[K"));
}

}  // namespace
}  // namespace veltrap
