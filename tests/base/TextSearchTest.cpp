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

}  // namespace
}  // namespace veltrap
