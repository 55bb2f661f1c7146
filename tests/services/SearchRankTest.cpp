#include "services/htmlsearch/SearchRank.h"

#include "support/FakeWeb.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace veltrap {
namespace {

using ::testing::ElementsAre;
using testing::FakeWeb;

constexpr const char* kTarget = "http://partner.example/page";

std::vector<std::string> Fillers(int count) {
    std::vector<std::string> urls;
    for (int n = 1; n <= count; ++n) {
        urls.push_back("http://filler" + std::to_string(n) + ".test/");
    }
    return urls;
}

std::vector<std::string> FillersThen(int count, const std::string& last) {
    auto urls = Fillers(count);
    urls.push_back(last);
    return urls;
}

std::string GooglePage(const std::vector<std::string>& urls, bool next) {
    std::string page = "<html><body><h1>Results</h1>";
    for (const auto& url : urls) {
        page += "<h3><a class=l href=\"" + url + "\">Title</a></h3>";
    }
    return page + (next ? "<img src=/nav_next.gif>" : "") + "</body></html>";
}

std::string YahooPage(const std::vector<std::string>& urls, bool next, bool heading = true) {
    std::string page = heading ? "<h2>Web Results</h2>" : "<h2>Sponsored</h2>";
    for (const auto& url : urls) {
        page += "<a class=yschttl href=\"" + url + "\">Title</a>";
    }
    return page + (next ? "<img src=\"http://img.test/i/us/search/gr/ar_next.gif\">" : "");
}

std::string MsnPage(const std::vector<std::string>& urls, bool next) {
    std::string page = "<div id=\"results\"><ul>";
    for (const auto& url : urls) {
        page += "<li class=\"first\"><a href=\"" + url + "\">Title</a></li>";
    }
    return page + "</ul>" + (next ? "<ul><li><a href=\"/more\">Next</a></li></ul>" : "") + "</div>";
}

class SearchRankTest : public ::testing::Test {
protected:
    SearchRankTest() {
        services.googleHost = "g.test";
        services.yahooHost = "y.test";
        services.yahooNextMarker = "http://img.test/i/us/search/gr/ar_next.gif";
        services.msnHost = "m.test";
    }
    std::int32_t Rank(RankColumn engine, int maxPages = 10,
                      const std::string& keyphrase = "blue widgets",
                      const std::string& target = kTarget) {
        return RankOn(engine, services, maxPages, web.Fetch(), keyphrase, target).value();
    }
    std::string Google(int page) {
        return SearchPageAddress(RankColumn::kGoogle, services, "blue widgets", page);
    }
    std::string Yahoo(int page) {
        return SearchPageAddress(RankColumn::kYahoo, services, "blue widgets", page);
    }
    std::string Msn(int page) {
        return SearchPageAddress(RankColumn::kMsn, services, "blue widgets", page);
    }
    ServiceEndpoints services;
    FakeWeb web;
};

TEST_F(SearchRankTest, AddressesCarryTheKeyphraseUnchanged) {
    EXPECT_EQ(SearchPageAddress(RankColumn::kGoogle, services, "a&b c", 0),
              "http://g.test/search?q=a&b c&start=0");
    EXPECT_EQ(Google(2), "http://g.test/search?q=blue widgets&start=20");
    EXPECT_EQ(Yahoo(1), "http://y.test/search?p=blue widgets&b=11");
    EXPECT_EQ(Msn(0), "http://m.test/results.aspx?q=blue widgets&first=1");
}

TEST_F(SearchRankTest, NothingIsAskedWithoutAKeyphraseOrPages) {
    EXPECT_EQ(Rank(RankColumn::kGoogle, 10, "No Anchor Text"), -1);
    EXPECT_EQ(Rank(RankColumn::kYahoo, 0), -1);
    EXPECT_EQ(Rank(RankColumn::kMsn, -1), -1);
    EXPECT_TRUE(web.Asked().empty());
}

TEST_F(SearchRankTest, GoogleCountsResultsUpToTheTarget) {
    web.Serve(Google(0), GooglePage(FillersThen(2, kTarget), false));
    EXPECT_EQ(Rank(RankColumn::kGoogle), 3);
    EXPECT_THAT(web.Asked(), ElementsAre(Google(0)));
}

TEST_F(SearchRankTest, GoogleSecondPageAddsTen) {
    web.Serve(Google(0), GooglePage(Fillers(10), true));
    web.Serve(Google(1), GooglePage(FillersThen(1, kTarget), false));
    EXPECT_EQ(Rank(RankColumn::kGoogle), 12);
    EXPECT_THAT(web.Asked(), ElementsAre(Google(0), Google(1)));
}

TEST_F(SearchRankTest, YahooSecondPage) {
    web.Serve(Yahoo(0), YahooPage(Fillers(10), true));
    web.Serve(Yahoo(1), YahooPage({kTarget}, false));
    EXPECT_EQ(Rank(RankColumn::kYahoo), 11);
    EXPECT_THAT(web.Asked(), ElementsAre(Yahoo(0), Yahoo(1)));
}

TEST_F(SearchRankTest, YahooTargetCountsOnlyOnAPageWithWebResults) {
    web.Serve(Yahoo(0), YahooPage(FillersThen(1, kTarget), true, false));
    web.Serve(Yahoo(1), YahooPage(FillersThen(3, kTarget), false));
    EXPECT_EQ(Rank(RankColumn::kYahoo), 14);
}

TEST_F(SearchRankTest, YahooNextMarkerFromConfigurationIgnoresCase) {
    services.yahooNextMarker = "http://IMG.test/i/us/search/gr/AR_NEXT.gif";
    web.Serve(Yahoo(0), YahooPage(Fillers(10), true));
    web.Serve(Yahoo(1), YahooPage({kTarget}, false));
    EXPECT_EQ(Rank(RankColumn::kYahoo), 11);
}

TEST_F(SearchRankTest, MsnAddsOne) {
    web.Serve(Msn(0), MsnPage(FillersThen(1, kTarget), false));
    EXPECT_EQ(Rank(RankColumn::kMsn), 3);
}

TEST_F(SearchRankTest, MsnNextMarkerIsReadOnTheLowerCasedPage) {
    web.Serve(Msn(0), MsnPage(Fillers(10), true));
    web.Serve(Msn(1), MsnPage({kTarget}, false));
    EXPECT_EQ(Rank(RankColumn::kMsn), 12);
    EXPECT_THAT(web.Asked(), ElementsAre(Msn(0), Msn(1)));
}

TEST_F(SearchRankTest, CountStopsAtTheTenthMarker) {
    web.Serve(Google(0), GooglePage(FillersThen(11, kTarget), false));
    EXPECT_EQ(Rank(RankColumn::kGoogle), 10);
}

TEST_F(SearchRankTest, TargetOnlyBeforeTheAnchorCountsZeroMarkers) {
    const std::string mention = std::string("<p>") + kTarget + "</p>";
    web.Serve(Google(0), mention + GooglePage(Fillers(3), false));
    web.Serve(Yahoo(0), mention + YahooPage(Fillers(3), false));
    web.Serve(Msn(0), mention + MsnPage(Fillers(3), false));
    EXPECT_EQ(Rank(RankColumn::kGoogle), 0);
    EXPECT_EQ(Rank(RankColumn::kYahoo), 0);
    EXPECT_EQ(Rank(RankColumn::kMsn), 1);
}

TEST_F(SearchRankTest, PageWithoutResultMarkersCountsZero) {
    web.Serve(Google(0), std::string("<p>") + kTarget + "</p>");
    EXPECT_EQ(Rank(RankColumn::kGoogle), 0);
}

TEST_F(SearchRankTest, GoogleAnchorStandsTwoBeforeTheFirstMarker) {
    // The target ends right where the first marker begins, inside the two
    // characters before it, so no marker precedes it.
    web.Serve(Google(0), "xxxxyzA CLASS=L href=\"yz\"");
    EXPECT_EQ(Rank(RankColumn::kGoogle, 10, "blue widgets", "YZ"), 0);
}

TEST_F(SearchRankTest, MissingTargetEndsWhereTheNextMarkerIsMissing) {
    web.Serve(Google(0), GooglePage(Fillers(10), false));
    EXPECT_EQ(Rank(RankColumn::kGoogle, 5), -1);
    EXPECT_EQ(web.Asked().size(), 1u);
}

TEST_F(SearchRankTest, PageLimitEndsTheCheck) {
    for (int page = 0; page < 5; ++page) {
        web.Serve(Google(page), GooglePage(Fillers(10), true));
    }
    EXPECT_EQ(Rank(RankColumn::kGoogle, 3), -1);
    EXPECT_THAT(web.Asked(), ElementsAre(Google(0), Google(1), Google(2)));
}

TEST_F(SearchRankTest, CaseDoesNotPreventAMatch) {
    web.Serve(Google(0), GooglePage(FillersThen(1, "HTTP://PARTNER.example/Page"), false));
    EXPECT_EQ(Rank(RankColumn::kGoogle, 10, "blue widgets", "http://Partner.EXAMPLE/page"), 2);
}

// An engine that cannot be asked fails the check; one that answers without
// the target finds nothing. Both leave -1.
TEST_F(SearchRankTest, UnreachableEngineFailsWhereAMissingTargetIsNotFound) {
    const LookupOutcome down =
        RankOn(RankColumn::kMsn, services, 10, web.Fetch(), "blue widgets", kTarget);
    EXPECT_EQ(down.value(), -1);
    EXPECT_EQ(down.reason(), "no answer");
    EXPECT_EQ(web.Asked().size(), 1u);

    web.Serve(Google(0), GooglePage(Fillers(10), true));
    web.Serve(Google(1), "Too many requests", 429);
    const LookupOutcome laterPage =
        RankOn(RankColumn::kGoogle, services, 10, web.Fetch(), "blue widgets", kTarget);
    EXPECT_EQ(laterPage.value(), -1);
    EXPECT_EQ(laterPage.reason(), "HTTP 429");

    web.Serve(Yahoo(0), YahooPage(Fillers(10), false));
    const LookupOutcome absent =
        RankOn(RankColumn::kYahoo, services, 10, web.Fetch(), "blue widgets", kTarget);
    EXPECT_EQ(absent.kind(), LookupOutcome::Kind::kNotFound);
}

}  // namespace
}  // namespace veltrap
