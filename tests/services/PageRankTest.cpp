#include "services/pagerankpage/PageRank.h"

#include "services/pagerankpage/PageRankPageProvider.h"
#include "support/FakeWeb.h"

#include <gtest/gtest.h>

#include <limits>

namespace veltrap {
namespace {

std::string Answer(const std::string& value) {
    return "<p>Your pagerank is: <font color=\"#00aa00\">" + value + "</font></p>";
}

TEST(PageRankTest, ReadsTheNumberInTheColouredFont) {
    EXPECT_EQ(ReadPageRank(Answer("6")), 6);
    EXPECT_EQ(ReadPageRank(Answer(" \t 7 of 10")), 7);
    EXPECT_EQ(ReadPageRank(Answer("-3")), -3);
    EXPECT_EQ(ReadPageRank(Answer("+4")), 4);
}

TEST(PageRankTest, TextThatIsNotANumberReadsAsZero) {
    EXPECT_EQ(ReadPageRank(Answer("n/a")), 0);
    EXPECT_EQ(ReadPageRank(Answer("")), 0);
}

TEST(PageRankTest, HugeValuesStopAtTheLimits) {
    EXPECT_EQ(ReadPageRank(Answer("99999999999999999999")),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ReadPageRank(Answer("-99999999999999999999")),
              std::numeric_limits<std::int32_t>::min());
}

TEST(PageRankTest, UnreadableAnswersGiveMinusOne) {
    EXPECT_EQ(ReadPageRank(""), std::nullopt);
    EXPECT_EQ(ReadPageRank("<font color=red>5</font>"), std::nullopt);
    // The font must come after the sentence.
    EXPECT_EQ(ReadPageRank("<font color=red>5</font> Your pagerank is: 5"), std::nullopt);
    EXPECT_EQ(ReadPageRank("Your pagerank is: <font color=red"), std::nullopt);
    EXPECT_EQ(ReadPageRank("Your pagerank is: <font color=red>5"), std::nullopt);
}

TEST(PageRankTest, AddressCarriesThePageUnchanged) {
    ServiceEndpoints services;
    services.pagerankHost = "pr.test:81";
    EXPECT_EQ(PageRankAddress(services, "http://a.example/x?y=1&z"),
              "http://pr.test:81/?http://a.example/x?y=1&z");
}

TEST(PageRankTest, NoLookupHostMeansNoRequest) {
    testing::FakeWeb web;
    PageRankPageProvider provider{ServiceEndpoints{}};
    const LookupOutcome outcome = provider.Authority("http://a.example/", web.Fetch());
    EXPECT_EQ(outcome.kind(), LookupOutcome::Kind::kNotFound);
    EXPECT_TRUE(web.Asked().empty());
}

// Found, failed and unreadable stay apart, while the value keeps the reading
// rules: an error page that still carries a value gives it.
TEST(PageRankTest, FailuresAreToldApartFromValues) {
    ServiceEndpoints services;
    services.pagerankHost = "pr.test";
    PageRankPageProvider provider{services};
    testing::FakeWeb web;
    const std::string good = "http://good.example/";
    const std::string busy = "http://busy.example/";
    const std::string gone = "http://gone.example/";
    const std::string odd = "http://odd.example/";
    web.Serve(PageRankAddress(services, good), Answer("4"));
    web.Serve(PageRankAddress(services, busy), "Service busy", 503);
    web.Serve(PageRankAddress(services, odd), Answer("5"), 500);
    web.Serve(PageRankAddress(services, "http://plain.example/"), "no value here");

    const LookupOutcome found = provider.Authority(good, web.Fetch());
    EXPECT_TRUE(found.found());
    EXPECT_EQ(found.value(), 4);
    EXPECT_EQ(provider.Authority(busy, web.Fetch()).reason(), "HTTP 503");
    EXPECT_EQ(provider.Authority(gone, web.Fetch()).reason(), "no answer");
    EXPECT_EQ(provider.Authority(odd, web.Fetch()).value(), 5);
    const LookupOutcome plain = provider.Authority("http://plain.example/", web.Fetch());
    EXPECT_TRUE(plain.failed());
    EXPECT_EQ(plain.value(), -1);
    EXPECT_EQ(plain.reason(), "unreadable answer");
}

}  // namespace
}  // namespace veltrap
