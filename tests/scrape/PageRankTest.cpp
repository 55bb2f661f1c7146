#include "scrape/PageRank.h"

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
    EXPECT_EQ(ReadPageRank(""), -1);
    EXPECT_EQ(ReadPageRank("<font color=red>5</font>"), -1);
    // The font must come after the sentence.
    EXPECT_EQ(ReadPageRank("<font color=red>5</font> Your pagerank is: 5"), -1);
    EXPECT_EQ(ReadPageRank("Your pagerank is: <font color=red"), -1);
    EXPECT_EQ(ReadPageRank("Your pagerank is: <font color=red>5"), -1);
}

TEST(PageRankTest, AddressCarriesThePageUnchanged) {
    ServiceEndpoints services;
    services.pagerankHost = "pr.test:81";
    EXPECT_EQ(PageRankAddress(services, "http://a.example/x?y=1&z"),
              "http://pr.test:81/?http://a.example/x?y=1&z");
}

TEST(PageRankTest, NoLookupHostMeansNoRequest) {
    HttpSession session(HttpOptions{});
    EXPECT_EQ(LookupPageRank(session, ServiceEndpoints{}, "http://a.example/"), -1);
    EXPECT_EQ(session.RequestsSent(), 0);
}

}  // namespace
}  // namespace veltrap
