#include "scrape/PageRank.h"
#include "scrape/Reciprocal.h"
#include "scrape/SearchRank.h"
#include "scrape/SiteLink.h"

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

    testing::LoopbackServer server;
    HttpOptions options;
    ServiceEndpoints services;
    std::mutex mutex;
    std::vector<std::string> asked;
};

TEST_F(ReadersOverHttpTest, EveryReaderReachesItsPages) {
    HttpSession session(options);
    const auto link = FindSiteLink(session, "partner.example/links", "mysite.test");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->href, "http://mysite.test/shop");
    EXPECT_EQ(link->anchorText, "blue;widgets");

    EXPECT_EQ(RankOnGoogle(session, services, 10, "blue widgets", "partner.example/links"), 2);
    EXPECT_EQ(LookupPageRank(session, services, "http://partner.example/links"), 4);
    EXPECT_TRUE(CheckReciprocal(session, "mysite.test", link->href, "http://partner.example/l"));

    std::lock_guard lock(mutex);
    EXPECT_EQ(asked.front(), "partner.example/links");
    EXPECT_NE(std::find(asked.begin(), asked.end(), "pagerank.test/?http://partner.example/links"),
              asked.end());
    EXPECT_EQ(asked.back(), "mysite.test/friends");
}

TEST_F(ReadersOverHttpTest, UnreachablePagesReadAsEmpty) {
    HttpOptions closed = options;
    server.Stop();
    HttpSession session(closed);
    EXPECT_FALSE(FindSiteLink(session, "http://partner.example/links", "mysite.test"));
    EXPECT_EQ(RankOnMsn(session, services, 10, "blue widgets", "x"), -1);
    EXPECT_EQ(LookupPageRank(session, services, "http://partner.example/"), -1);
}

}  // namespace
}  // namespace veltrap
