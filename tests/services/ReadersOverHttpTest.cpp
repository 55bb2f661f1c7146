#include "scrape/Reciprocal.h"
#include "scrape/SiteLink.h"
#include "services/htmlsearch/HtmlRankProvider.h"
#include "services/pagerankpage/PageRankPageProvider.h"

#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace veltrap {
namespace {

// The readers through the real retriever, against one loopback server that
// answers for every host name.
class ReadersOverHttpTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.Server().Get(".*",
                            [this](const httplib::Request& request, httplib::Response& response) {
                                const std::string host = request.get_header_value("Host");
                                {
                                    std::lock_guard lock(mutex);
                                    asked.push_back(host + request.target);
                                }
                                response.set_content(Answer(host, request), "text/html");
                            });
        server.Start();
        options.connectTo = server.Address();
        services.googleHost = "google.test";
        services.pagerankHost = "pagerank.test";
    }

    static std::string Answer(const std::string& host, const httplib::Request& request) {
        if (host == "partner.example") {
            return std::string(40, ' ') +
                   "<a href=\"http://mysite.test/shop\">Blue&nbsp;Widgets</a>";
        }
        if (host == "google.test" && request.get_param_value("q") == "blue widgets" &&
            request.get_param_value("start") == "0") {
            return "<html><a class=l href=\"http://x.test/\">x</a>"
                   "<a class=l href=\"http://partner.example/links\">y</a>";
        }
        if (host == "pagerank.test") {
            return "Your pagerank is: <font color=green>4</font>";
        }
        if (host == "mysite.test" && request.path == "/") {
            return "<a href=\"/friends\">friends</a>";
        }
        if (host == "mysite.test" && request.path == "/friends") {
            return "we like partner.example";
        }
        return "";
    }

    HttpOptions options;
    ServiceEndpoints services;
    std::mutex mutex;
    std::vector<std::string> asked;
    // Last, so that it stops before what its handlers use is gone.
    testing::LoopbackServer server;
};

TEST_F(ReadersOverHttpTest, EveryReaderReachesItsPages) {
    HttpSession session(options);
    const PageFetch fetch = SessionFetch(session);
    const auto found = FindSiteLink(fetch, "partner.example/links", "mysite.test");
    ASSERT_TRUE(found.link);
    EXPECT_EQ(found.link->href, "http://mysite.test/shop");
    EXPECT_EQ(found.link->anchorText, "blue;widgets");
    EXPECT_EQ(found.page.status, 200);

    HtmlRankProvider google(services, RankColumn::kGoogle);
    EXPECT_EQ(google.Rank("blue widgets", "partner.example/links", 10, fetch).value(), 2);
    PageRankPageProvider pagerank(services);
    EXPECT_EQ(pagerank.Authority("http://partner.example/links", fetch).value(), 4);
    EXPECT_TRUE(CheckReciprocal(fetch, "mysite.test", found.link->href, "http://partner.example/l")
                    .found());

    std::lock_guard lock(mutex);
    EXPECT_EQ(asked.front(), "partner.example/links");
    EXPECT_NE(std::find(asked.begin(), asked.end(), "pagerank.test/?http://partner.example/links"),
              asked.end());
    EXPECT_EQ(asked.back(), "mysite.test/friends");
}

TEST_F(ReadersOverHttpTest, UnreachablePagesFailWithTheirReason) {
    HttpOptions closed = options;
    server.Stop();
    HttpSession session(closed);
    const PageFetch fetch = SessionFetch(session);
    const auto found = FindSiteLink(fetch, "http://partner.example/links", "mysite.test");
    EXPECT_FALSE(found.link);
    EXPECT_FALSE(found.page.answered);
    const LookupOutcome msn =
        HtmlRankProvider(services, RankColumn::kMsn).Rank("blue widgets", "x", 10, fetch);
    EXPECT_EQ(msn.value(), -1);
    EXPECT_EQ(msn.reason(), "no answer (Couldn't connect to server)");
    const LookupOutcome pagerank =
        PageRankPageProvider(services).Authority("http://partner.example/", fetch);
    EXPECT_EQ(pagerank.value(), -1);
    EXPECT_TRUE(pagerank.failed());
}

}  // namespace
}  // namespace veltrap
