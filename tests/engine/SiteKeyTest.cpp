#include "engine/SiteKey.h"

#include <gtest/gtest.h>

namespace veltrap {
namespace {

TEST(SiteKeyTest, SchemeWwwAndBlanksGo) {
    EXPECT_EQ(MakeSiteKey("example.com"), "example.com");
    EXPECT_EQ(MakeSiteKey("http://www.example.com "), "example.com");
    EXPECT_EQ(MakeSiteKey("https://www.example.com"), "example.com");
    EXPECT_EQ(MakeSiteKey(" exa mple.com  "), "example.com");
}

TEST(SiteKeyTest, CaseAndTrailingSlashStay) {
    EXPECT_EQ(MakeSiteKey("HTTP://Example.com/"), "HTTP://Example.com/");
    EXPECT_EQ(MakeSiteKey("http://Example.com/"), "Example.com/");
    EXPECT_EQ(MakeSiteKey("WWW.example.com"), "WWW.example.com");
}

TEST(SiteKeyTest, EveryOccurrenceIsRemoved) {
    EXPECT_EQ(MakeSiteKey("http://a.com/http://www.b.com/www."), "a.com/b.com/");
}

TEST(SiteKeyTest, NothingLeft) {
    EXPECT_EQ(MakeSiteKey(""), "");
    EXPECT_EQ(MakeSiteKey("http://www.   "), "");
}

TEST(SiteKeyTest, EmbeddedNulAndHighBytesAreKept) {
    const std::string typed("a\0b\xe9.com", 8);
    EXPECT_EQ(MakeSiteKey(typed), typed);
}

}  // namespace
}  // namespace veltrap
