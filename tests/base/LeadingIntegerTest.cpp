#include "base/LeadingInteger.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace veltrap {
namespace {

// strtoll is the independent oracle: the helper reads a number exactly as the
// C library does, saturating where strtoll does.
TEST(LeadingIntegerTest, ReadsLikeStrtoll) {
    for (const std::string text :
         {"", "x", "  42abc", "\t\n-7", "+3", "-", "+-1", "007", "9223372036854775806",
          "9223372036854775807", "9223372036854775808", "-9223372036854775808",
          "-9223372036854775809", "99999999999999999999999", " \v\f\r12 34"}) {
        EXPECT_EQ(LeadingInteger64(text), std::strtoll(text.c_str(), nullptr, 10)) << text;
    }
}

TEST(LeadingIntegerTest, ThirtyTwoBitsSaturateAtTheirLimits) {
    EXPECT_EQ(LeadingInteger32("2147483646"), 2147483646);
    EXPECT_EQ(LeadingInteger32("2147483647"), 2147483647);
    EXPECT_EQ(LeadingInteger32("2147483648"), 2147483647);
    EXPECT_EQ(LeadingInteger32("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(LeadingInteger32("-2147483649"), -2147483647 - 1);
    EXPECT_EQ(LeadingInteger32(std::string("5\0" "9", 3)), 5);
}

}  // namespace
}  // namespace veltrap
