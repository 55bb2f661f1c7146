#include "base/TextSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrap {
namespace {

TEST(RemoveEveryTest, LeftToRightWithoutOverlap) {
    std::string text = "aaaa";
    RemoveEvery(text, "aa");
    EXPECT_EQ(text, "");
    text = "aaa";
    RemoveEvery(text, "aa");
    EXPECT_EQ(text, "a");
    text = "abc";
    RemoveEvery(text, "");
    EXPECT_EQ(text, "abc");
}

TEST(TrimmedTest, TakesTheSetFromBothEndsOnly) {
    EXPECT_EQ(Trimmed(""), "");
    EXPECT_EQ(Trimmed(" \t\r\n"), "");
    EXPECT_EQ(Trimmed("\t a b \r\n"), "a b");
    EXPECT_EQ(Trimmed(std::string_view("\0x\0", 3)), std::string_view("\0x\0", 3));
    EXPECT_EQ(Trimmed(";\"a;b.\"", ";.\""), "a;b");
}

}  // namespace
}  // namespace veltrap
