#include "report/CaseInsensitiveIndex.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace veltrap {
namespace {

using namespace std::string_literals;

TEST(CaseInsensitiveIndexTest, EqualityFoldsOnlyAsciiCapitals) {
    // Every pair of bytes, at each position of a word and of its tail.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const bool same = std::tolower(a) == std::tolower(b);
            for (const std::size_t at : {0u, 7u, 8u, 12u}) {
                std::string left(13, 'q');
                std::string right(13, 'Q');
                left[at] = static_cast<char>(a);
                right[at] = static_cast<char>(b);
                ASSERT_EQ(EqualsIgnoreCase(left, right), same) << a << " " << b << " at " << at;
                if (same) {
                    ASSERT_EQ(HashIgnoreCase(left), HashIgnoreCase(right)) << a << " " << b;
                }
            }
        }
    }
}

TEST(CaseInsensitiveIndexTest, LengthsAndEmbeddedNul) {
    EXPECT_TRUE(EqualsIgnoreCase("", ""));
    EXPECT_FALSE(EqualsIgnoreCase("a", ""));
    EXPECT_FALSE(EqualsIgnoreCase("abcdefgh", "abcdefg"));
    EXPECT_TRUE(EqualsIgnoreCase("ABCDEFGHI", "abcdefghi"));
    EXPECT_FALSE(EqualsIgnoreCase("a\0b"s, "a\0c"s));
    EXPECT_FALSE(EqualsIgnoreCase("a\0"s, "a"));
    EXPECT_NE(HashIgnoreCase("a\0"s), HashIgnoreCase("a"));
    EXPECT_NE(HashIgnoreCase(std::string(8, '\0')), HashIgnoreCase(std::string(9, '\0')));
}

TEST(CaseInsensitiveIndexTest, IdsInOrderOfFirstSightAcrossGrowth) {
    CaseInsensitiveIndex index;
    std::vector<std::string> texts;
    for (int i = 0; i < 2000; ++i) {
        texts.push_back("http://Site" + std::to_string(i) + ".com/");
    }
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(index.Insert(texts[static_cast<std::size_t>(i)]), std::make_pair(i, true));
    }
    std::vector<std::string> upper = texts;
    for (std::string& text : upper) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    for (int i = 1999; i >= 0; --i) {
        EXPECT_EQ(index.Insert(upper[static_cast<std::size_t>(i)]), std::make_pair(i, false));
    }
    EXPECT_EQ(index.Size(), 2000);
    EXPECT_EQ(index.Insert(""), std::make_pair(2000, true));
    EXPECT_EQ(index.Insert(""), std::make_pair(2000, false));
}

}  // namespace
}  // namespace veltrap
