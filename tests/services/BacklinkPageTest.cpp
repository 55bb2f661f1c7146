#include "services/siteexplorer/BacklinkPage.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrap {
namespace {

using namespace std::string_literals;

constexpr std::string_view kNext = "http://img.test/i/us/search/gr/ar_next.gif";

std::string Result(int n) {
    return "<li><a class=\"yschttl\" href=\"http://site" + std::to_string(n) +
           ".example/page\">Title " + std::to_string(n) + "</a></li>\n";
}

std::string Results(int from, int count) {
    std::string text;
    for (int n = from; n < from + count; ++n) {
        text += Result(n);
    }
    return text;
}

std::string NextArrow() {
    return "<img src=\"" + std::string(kNext) + "\">";
}

TEST(BacklinkPageTest, FullPageWithMarkerAfterItFollows) {
    const BacklinkPage page = ReadBacklinkPage(Results(1, 50) + NextArrow(), kNext);
    ASSERT_EQ(page.urls.size(), 50u);
    EXPECT_EQ(page.urls.front(), "http://site1.example/page");
    EXPECT_EQ(page.urls.back(), "http://site50.example/page");
    EXPECT_TRUE(page.nextPageFollows);
}

TEST(BacklinkPageTest, ResultCountsAroundAFullPage) {
    const BacklinkPage without = ReadBacklinkPage(Results(1, 50), kNext);
    EXPECT_EQ(without.urls.size(), 50u);
    EXPECT_FALSE(without.nextPageFollows);

    const BacklinkPage short_ = ReadBacklinkPage(Results(1, 49) + NextArrow(), kNext);
    EXPECT_EQ(short_.urls.size(), 49u);
    EXPECT_FALSE(short_.nextPageFollows);

    // A 51st result is not taken; the marker still stands after the 50th.
    const BacklinkPage over = ReadBacklinkPage(Results(1, 51) + NextArrow(), kNext);
    ASSERT_EQ(over.urls.size(), 50u);
    EXPECT_EQ(over.urls.back(), "http://site50.example/page");
    EXPECT_TRUE(over.nextPageFollows);
}

TEST(BacklinkPageTest, MarkerBeforeTheFiftiethResultDoesNotCount) {
    const std::string text = NextArrow() + Results(1, 49) + NextArrow() + Result(50);
    const BacklinkPage page = ReadBacklinkPage(text, kNext);
    EXPECT_EQ(page.urls.size(), 50u);
    EXPECT_FALSE(page.nextPageFollows);
}

TEST(BacklinkPageTest, DuplicatesAreKept) {
    const BacklinkPage page = ReadBacklinkPage(Result(7) + Result(7), kNext);
    ASSERT_EQ(page.urls.size(), 2u);
    EXPECT_EQ(page.urls[0], page.urls[1]);
}

TEST(BacklinkPageTest, BrokenResultEndsTheReadingKeepingEarlierOnes) {
    EXPECT_TRUE(ReadBacklinkPage("", kNext).urls.empty());
    // A marker with no address after it.
    BacklinkPage page = ReadBacklinkPage(Result(1) + "<a class=\"yschttl\">gone</a>", kNext);
    EXPECT_EQ(page.urls.size(), 1u);
    // An address that is never closed by a quote.
    page = ReadBacklinkPage(Result(1) + "<a class=\"yschttl\" href=\"http://open.example/", kNext);
    EXPECT_EQ(page.urls.size(), 1u);
    EXPECT_FALSE(page.nextPageFollows);
}

TEST(BacklinkPageTest, AddressTakenFromItsHttpToTheNextQuote) {
    const std::string text =
        "<a class=\"yschttl\" title=\"x\" href=\"https://secure.example/a b\0c\">"s;
    const BacklinkPage page = ReadBacklinkPage(text, kNext);
    ASSERT_EQ(page.urls.size(), 1u);
    EXPECT_EQ(page.urls[0], "https://secure.example/a b\0c"s);
}

TEST(BacklinkPageTest, PageAddressesStepByFifty) {
    ServiceEndpoints services;
    services.siteExplorerHost = "explorer.test:8080";
    EXPECT_EQ(BacklinkPageAddress(services, "mysite.test", 0),
              "http://explorer.test:8080/search?p=mysite.test&bwm=i&bwmf=s&b=1");
    EXPECT_EQ(BacklinkPageAddress(services, "mysite.test/a b", 2),
              "http://explorer.test:8080/search?p=mysite.test/a b&bwm=i&bwmf=s&b=101");
}

}  // namespace
}  // namespace veltrap
