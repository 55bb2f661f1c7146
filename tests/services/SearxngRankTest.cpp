#include "scrape/SiteLink.h"
#include "services/searxng/SearxngRankProvider.h"

#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <mutex>
#include <vector>

namespace veltrap {
namespace {

using Json = nlohmann::json;

constexpr const char* kPhrase = "blue & green widgets";

Json Results(const std::vector<std::string>& urls) {
    Json results = Json::array();
    for (const std::string& url : urls) {
        results.push_back({{"url", url}, {"title", "t"}, {"engine", "google"}});
    }
    return results;
}

// A loopback server answering as a SearXNG instance does, by query and page.
class SearxngRankTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.Server().Get("/search", [this](const httplib::Request& request,
                                              httplib::Response& response) {
            const std::string q = request.get_param_value("q");
            const int page = std::stoi(request.get_param_value("pageno"));
            {
                std::lock_guard lock(mutex);
                asked.push_back(q + " #" + std::to_string(page) + " " +
                                request.get_param_value("format") + " " +
                                request.get_param_value("engines"));
            }
            Json body = {
                {"query", q}, {"results", Json::array()}, {"unresponsive_engines", Json::array()}};
            if (q == "forbidden") {
                response.status = 403;
                response.set_content("<h1>Forbidden</h1>", "text/html");
                return;
            }
            if (q == "text") {
                response.set_content("<html>results</html>", "text/html");
                return;
            }
            if (q == kPhrase && page == 1) {
                body["results"] = Results({"http://a0.test/", "http://a1.test/", "http://a2.test/",
                                           "http://a3.test/", "http://a4.test/", "http://a5.test/",
                                           "http://a6.test/"});
                body["unresponsive_engines"].push_back(Json::array({"bing", "timeout"}));
            } else if (q == kPhrase && page == 2) {
                body["results"] =
                    Results({"http://b0.test/", "http://b1.test/", "http://www.Target.test/Page"});
            } else if (q == "nothing" && page == 1) {
                body["results"] = Results({"http://a0.test/", "http://a1.test/"});
            } else if (q == "captcha") {
                body["results"] = Results({"http://www.target.test/page"});
                body["unresponsive_engines"].push_back(Json::array({"Google", "CAPTCHA"}));
            }
            response.set_content(body.dump(), "application/json");
        });
        server.Start();
        options.connectTo = server.Address();
    }

    LookupOutcome Rank(const std::string& phrase, int pages) {
        HttpSession session(options);
        SearxngRankProvider provider("http://searx.test:8888/", {"google", "startpage"},
                                     RankColumn::kGoogle);
        return provider.Rank(phrase, "target.test/page", pages, SessionFetch(session));
    }
    std::vector<std::string> Asked() {
        std::lock_guard lock(mutex);
        return asked;
    }

    HttpOptions options;
    std::mutex mutex;
    std::vector<std::string> asked;
    // Last, so that it stops before what its handlers use is gone.
    testing::LoopbackServer server;
};

TEST_F(SearxngRankTest, PositionsCountEveryResultAcrossPages) {
    const LookupOutcome found = Rank(kPhrase, 5);
    EXPECT_TRUE(found.found());
    EXPECT_EQ(found.value(), 10);
    EXPECT_EQ(Asked(),
              (std::vector<std::string>{std::string(kPhrase) + " #1 json google,startpage",
                                        std::string(kPhrase) + " #2 json google,startpage"}));
    // The page limit holds even when the target would follow.
    EXPECT_EQ(Rank(kPhrase, 1).kind(), LookupOutcome::Kind::kNotFound);
}

TEST_F(SearxngRankTest, AnEmptyPageEndsTheSearch) {
    const LookupOutcome outcome = Rank("nothing", 5);
    EXPECT_EQ(outcome.kind(), LookupOutcome::Kind::kNotFound);
    EXPECT_EQ(outcome.value(), -1);
    EXPECT_EQ(Asked().size(), 2U);
}

TEST_F(SearxngRankTest, RefusalsAndSilentEnginesFail) {
    const LookupOutcome forbidden = Rank("forbidden", 3);
    EXPECT_TRUE(forbidden.failed());
    EXPECT_NE(forbidden.reason().find("add"), std::string::npos);
    EXPECT_NE(forbidden.reason().find("json"), std::string::npos);
    EXPECT_NE(forbidden.reason().find("search.formats"), std::string::npos);
    EXPECT_EQ(Rank("text", 3).reason(), "the answer is not JSON");
    const LookupOutcome captcha = Rank("captcha", 3);
    EXPECT_TRUE(captcha.failed());
    EXPECT_EQ(captcha.value(), -1);
    EXPECT_EQ(captcha.reason(), "engine Google (CAPTCHA) did not answer on page 1");
    EXPECT_EQ(Asked().size(), 3U);
}

TEST_F(SearxngRankTest, NoAnchorTextAndNoPagesAskNothing) {
    EXPECT_EQ(Rank(std::string(kNoAnchorText), 5).kind(), LookupOutcome::Kind::kNotFound);
    EXPECT_EQ(Rank(kPhrase, 0).kind(), LookupOutcome::Kind::kNotFound);
    EXPECT_TRUE(Asked().empty());
}

}  // namespace
}  // namespace veltrap
