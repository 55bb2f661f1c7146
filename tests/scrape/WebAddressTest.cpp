#include "scrape/WebAddress.h"

#include <gtest/gtest.h>

namespace veltrap {
namespace {

TEST(WebAddressTest, SchemeIsAddedOnlyWhereMissing) {
    EXPECT_EQ(WithHttpScheme("a.example/x"), "http://a.example/x");
    EXPECT_EQ(WithHttpScheme("http://a.example/x"), "http://a.example/x");
    EXPECT_EQ(WithHttpScheme("https://a.example/x"), "https://a.example/x");
    // "https://" counts only at the start; "http://" anywhere.
    EXPECT_EQ(WithHttpScheme("go?to=https://a.example"), "http://go?to=https://a.example");
    EXPECT_EQ(WithHttpScheme("go?to=http://a.example"), "go?to=http://a.example");
    EXPECT_EQ(WithHttpScheme(""), "http://");
}

TEST(WebAddressTest, HomePageIsTheAddressUpToItsHost) {
    EXPECT_EQ(HomePageAddress("http://a.example/dir/page.html"), "http://a.example");
    EXPECT_EQ(HomePageAddress("http://a.example/"), "http://a.example");
    EXPECT_EQ(HomePageAddress("a.example/page"), "a.example");
    // Without a "/" after the host the whole address is the home page.
    EXPECT_EQ(HomePageAddress("http://a.example"), "http://a.example");
    EXPECT_EQ(HomePageAddress("a.example"), "a.example");
}

}  // namespace
}  // namespace veltrap
