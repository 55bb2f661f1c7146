#include "base/JsonNesting.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrap {
namespace {

TEST(JsonNestingTest, CountsOpenBracketsOutsideStrings) {
    const std::string deepest = std::string(64, '[') + std::string(64, ']');
    EXPECT_FALSE(JsonNestsDeeperThan(deepest));
    EXPECT_TRUE(JsonNestsDeeperThan("[" + deepest + "]"));
    EXPECT_TRUE(JsonNestsDeeperThan("{\"a\":{\"b\":[", 2));
    // Closed levels free their place, and brackets in strings, escaped quotes
    // included, are text.
    EXPECT_FALSE(JsonNestsDeeperThan("[[]][[]]", 2));
    EXPECT_FALSE(JsonNestsDeeperThan("[\"[[\\\"[[\"]", 1));
    EXPECT_TRUE(JsonNestsDeeperThan("[\"\\\\\"[]]", 1));
}

}  // namespace
}  // namespace veltrap
