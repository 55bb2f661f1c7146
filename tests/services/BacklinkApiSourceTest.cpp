#include "base/Base64.h"
#include "services/bingwebmaster/BingWebmaster.h"
#include "services/bingwebmaster/BingWebmasterSource.h"
#include "services/dataforseo/DataForSeo.h"
#include "services/dataforseo/DataForSeoSource.h"

#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace veltrap {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using Json = nlohmann::json;

constexpr const char* kBingKey = "bing-secret-key";
constexpr const char* kPassword = "pass:word-secret";

// What a source found and how its discovery ended.
struct Discovered {
    std::vector<std::string> urls;
    DiscoveryOutcome outcome;
};

// A loopback server playing both services for one site, with every request
// logged; the test decides which request number fails, and how.
class BacklinkApiSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.Server().Get(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                const int number = Log(request.path + " link=" + request.get_param_value("link") +
                                       " page=" + request.get_param_value("page"));
                {
                    std::lock_guard lock(mutex);
                    bingParams = {{"siteUrl", request.get_param_value("siteUrl")},
                                  {"apikey", request.get_param_value("apikey")}};
                }
                if (Fail(number, response)) {
                    return;
                }
                const int page = std::stoi(request.get_param_value("page"));
                response.set_content(request.path == "/api/GetLinkCounts"
                                         ? LinkCounts(page)
                                         : UrlLinks(request.get_param_value("link"), page),
                                     "application/json");
            });
        server.Server().Post(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                const int number = Log(request.body);
                {
                    std::lock_guard lock(mutex);
                    postHeaders = {{"Authorization", request.get_header_value("Authorization")},
                                   {"Content-Type", request.get_header_value("Content-Type")}};
                }
                if (Fail(number, response)) {
                    return;
                }
                const Json asked = Json::parse(request.body);
                response.set_content(Backlinks(asked[0]["offset"].get<int>()), "application/json");
            });
        server.Start();
        options.connectTo = server.Address();
    }

    // Bing's pages of the site with links: three answer pages, one page of
    // the site ("b") listed on two of them.
    static std::string LinkCounts(int page) {
        static const std::vector<std::vector<std::string>> kPages = {
            {"http://example.test/a", "http://example.test/b"},
            {"http://example.test/b", "http://example.test/c"},
            {"http://example.test/d"}};
        Json links = Json::array();
        for (const std::string& url : kPages.at(static_cast<std::size_t>(page))) {
            links.push_back({{"__type", "LinkCount"}, {"Count", 2}, {"Url", url}});
        }
        return Json{{"d", {{"__type", "LinkCounts"}, {"Links", links}, {"TotalPages", 3}}}}.dump();
    }

    // The pages linking to each of them; "c" has none, and the list is null.
    static std::string UrlLinks(const std::string& link, int page) {
        static const std::map<std::string, std::vector<std::vector<std::string>>> kLinks = {
            {"http://example.test/a",
             {{"http://p1.test/", "http://p2.test/"}, {"http://p3.test/"}}},
            {"http://example.test/b", {{"http://p2.test/", "http://p4.test/"}}},
            {"http://example.test/d", {{"http://p5.test/"}}}};
        const auto found = kLinks.find(link);
        if (found == kLinks.end()) {
            return R"({"d": {"Details": null, "TotalPages": 0}})";
        }
        Json details = Json::array();
        for (const std::string& url : found->second.at(static_cast<std::size_t>(page))) {
            details.push_back({{"AnchorText", "words"}, {"Url", url}});
        }
        return Json{{"d", {{"Details", details}, {"TotalPages", found->second.size()}}}}.dump();
    }

    // 2500 backlinks, every linking page listed twice in a row.
    static std::string Backlinks(int offset) {
        Json items = Json::array();
        for (int i = offset; i < std::min(offset + 1000, 2500); ++i) {
            items.push_back({{"type", "backlink"},
                             {"url_from", "http://from.test/" + std::to_string(i / 2)},
                             {"url_to", "http://example.test/"}});
        }
        return Json{
            {"status_code", 20000},
            {"tasks",
             {{{"status_code", 20000}, {"result", {{{"total_count", 2500}, {"items", items}}}}}}}}
            .dump();
    }

    int Log(const std::string& line) {
        std::lock_guard lock(mutex);
        asked.push_back(line);
        return static_cast<int>(asked.size());
    }

    bool Fail(int number, httplib::Response& response) {
        std::lock_guard lock(mutex);
        if (number != failOn) {
            return false;
        }
        response.status = failStatus;
        if (failStatus == 429) {
            response.set_header("Retry-After", "0");
        }
        response.set_content(failBody, "application/json");
        return true;
    }

    void FailOn(int number, int status, std::string body) {
        std::lock_guard lock(mutex);
        failOn = number;
        failStatus = status;
        failBody = std::move(body);
    }

    void ClearAsked() {
        std::lock_guard lock(mutex);
        asked.clear();
    }

    std::vector<std::string> Asked() {
        std::lock_guard lock(mutex);
        return asked;
    }

    Discovered Run(BacklinkSource& source, int maxPages, const std::string& siteKey) {
        HttpSession session(options);
        Discovered discovered;
        discovered.outcome =
            source.Discover(siteKey, maxPages, SessionFetch(session),
                            [&](std::string url) { discovered.urls.push_back(std::move(url)); });
        return discovered;
    }

    Discovered Bing(int maxPages, const std::string& siteUrl = "") {
        BingWebmasterSource source("http://bing.test/api/", kBingKey, siteUrl);
        return Run(source, maxPages, "example.test/");
    }

    Discovered DataForSeo(int maxPages) {
        DataForSeoSource source("http://dfs.test/v3/backlinks/backlinks/live", "user", kPassword);
        return Run(source, maxPages, "example.test");
    }

    HttpOptions options;
    std::mutex mutex;
    std::vector<std::string> asked;
    std::map<std::string, std::string> bingParams;
    std::map<std::string, std::string> postHeaders;
    int failOn = 0;
    int failStatus = 200;
    std::string failBody;
    // Last, so that it stops before what its handlers use is gone.
    testing::LoopbackServer server;
};

TEST_F(BacklinkApiSourceTest, BingPagesThroughBothCallsAndFindsEachPageOnce) {
    const Discovered all = Bing(10);
    EXPECT_FALSE(all.outcome.failed) << all.outcome.reason;
    EXPECT_THAT(all.urls, ElementsAre("http://p1.test/", "http://p2.test/", "http://p3.test/",
                                      "http://p4.test/", "http://p5.test/"));
    // "b" is listed twice but asked about once; "c" has no linking pages.
    EXPECT_THAT(Asked(),
                ElementsAre("/api/GetLinkCounts link= page=0", "/api/GetLinkCounts link= page=1",
                            "/api/GetLinkCounts link= page=2",
                            "/api/GetUrlLinks link=http://example.test/a page=0",
                            "/api/GetUrlLinks link=http://example.test/a page=1",
                            "/api/GetUrlLinks link=http://example.test/b page=0",
                            "/api/GetUrlLinks link=http://example.test/c page=0",
                            "/api/GetUrlLinks link=http://example.test/d page=0"));
    {
        std::lock_guard lock(mutex);
        // The site key's trailing slash is not doubled.
        EXPECT_EQ(bingParams["siteUrl"], "https://example.test/");
        EXPECT_EQ(bingParams["apikey"], kBingKey);
    }
    Bing(1, "http://www.example.test/");
    std::lock_guard lock(mutex);
    EXPECT_EQ(bingParams["siteUrl"], "http://www.example.test/");
}

TEST_F(BacklinkApiSourceTest, BingPageLimitBoundsEachCall) {
    const Discovered one = Bing(1);
    EXPECT_THAT(one.urls, ElementsAre("http://p1.test/", "http://p2.test/", "http://p4.test/"));
    EXPECT_EQ(Asked().size(), 3U);
    const Discovered none = Bing(0);
    EXPECT_TRUE(none.urls.empty());
    EXPECT_FALSE(none.outcome.failed);
    EXPECT_EQ(Asked().size(), 3U);
}

TEST_F(BacklinkApiSourceTest, BingFailuresNameTheCallAndQuoteBingButNeverTheKey) {
    FailOn(1, 401, R"({"ErrorCode": 3, "Message": "InvalidApiKey"})");
    const Discovered refused = Bing(10);
    EXPECT_TRUE(refused.outcome.failed);
    EXPECT_EQ(refused.outcome.failedPage, 1);
    EXPECT_EQ(refused.outcome.reason,
              "GetLinkCounts, page 0: HTTP 401: Bing says \"InvalidApiKey\" (ErrorCode 3)");
    EXPECT_TRUE(refused.urls.empty());

    // A later request that fails keeps what came before it.
    ClearAsked();
    FailOn(5, 200, "<html>maintenance</html>");
    const Discovered later = Bing(10);
    EXPECT_EQ(later.outcome.failedPage, 5);
    EXPECT_EQ(later.outcome.reason,
              "GetUrlLinks of http://example.test/a, page 1: the answer is not JSON");
    EXPECT_THAT(later.urls, ElementsAre("http://p1.test/", "http://p2.test/"));
    EXPECT_EQ(Asked().size(), 5U);

    // Bing's words that echo the key do not bring it into the message.
    ClearAsked();
    FailOn(2, 400, std::string(R"({"Message": "no site for apikey=)") + kBingKey + "\"}");
    const Discovered echoed = Bing(10);
    EXPECT_THAT(echoed.outcome.reason, HasSubstr("apikey=***"));
    EXPECT_THAT(echoed.outcome.reason, Not(HasSubstr(kBingKey)));

    ClearAsked();
    FailOn(3, 200, R"({"d": {"Links": [{"Count": 1}], "TotalPages": 3}})");
    EXPECT_EQ(Bing(10).outcome.reason,
              "GetLinkCounts, page 2: an entry of \"Links\" has no \"Url\"");
}

TEST(BingWebmasterReaderTest, AnswersThatAreNotTheOneDescribedFail) {
    PageAnswer answer;
    answer.answered = true;
    answer.status = 200;
    const auto read = [&answer](std::string body, BingCall call = BingCall::kUrlLinks) {
        answer.body = std::move(body);
        return ReadBingWebmaster(answer, call);
    };
    EXPECT_EQ(read(R"({"d": {"Details": [], "TotalPages": 4}})")->totalPages, 4);
    EXPECT_THAT(read(R"({"d": {"Links": [], "TotalPages": 1}})").reason(),
                HasSubstr("not a GetUrlLinks answer"));
    EXPECT_THAT(read(R"({"d": {"Details": []}})").reason(), HasSubstr("not a GetUrlLinks"));
    EXPECT_THAT(read(R"({"d": [], "TotalPages": 1})").reason(), HasSubstr("not a GetUrlLinks"));
    EXPECT_THAT(read(R"([1, 2])").reason(), HasSubstr("not a GetUrlLinks"));
    EXPECT_EQ(read(R"({"ErrorCode": 14, "Message": "NotAuthorized"})").reason(),
              "Bing says \"NotAuthorized\" (ErrorCode 14)");
    answer.cut = true;
    EXPECT_EQ(read(R"({"d": {"Details": [], "TotalPages": 1}})").reason(),
              "the answer was cut at the body size limit");
    answer = PageAnswer{};
    EXPECT_EQ(read("").reason(), "no answer");
    EXPECT_EQ(BingWebmasterAddress("https://b.test/json/", BingCall::kUrlLinks, "https://s.test/",
                                   "https://s.test/a b&c", 2, "k=1"),
              "https://b.test/json/GetUrlLinks?siteUrl=https%3A%2F%2Fs.test%2F"
              "&link=https%3A%2F%2Fs.test%2Fa%20b%26c&page=2&apikey=k%3D1");
}

TEST_F(BacklinkApiSourceTest, DataForSeoPostsUntilTheTotalIsRead) {
    const Discovered all = DataForSeo(10);
    EXPECT_FALSE(all.outcome.failed) << all.outcome.reason;
    ASSERT_EQ(all.urls.size(), 1250U);
    EXPECT_EQ(all.urls.front(), "http://from.test/0");
    EXPECT_EQ(all.urls.back(), "http://from.test/1249");
    EXPECT_THAT(
        Asked(),
        ElementsAre(R"([{"target":"example.test","mode":"as_is","limit":1000,"offset":0}])",
                    R"([{"target":"example.test","mode":"as_is","limit":1000,"offset":1000}])",
                    R"([{"target":"example.test","mode":"as_is","limit":1000,"offset":2000}])"));
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(postHeaders["Authorization"],
                  "Basic " + Base64Encode(std::string("user:") + kPassword));
        EXPECT_EQ(postHeaders["Content-Type"], "application/json");
    }
    ClearAsked();
    EXPECT_EQ(DataForSeo(2).urls.size(), 1000U);
    EXPECT_EQ(Asked().size(), 2U);
    ClearAsked();
    EXPECT_TRUE(DataForSeo(0).urls.empty());
    EXPECT_TRUE(Asked().empty());
}

TEST_F(BacklinkApiSourceTest, DataForSeoFailuresQuoteTheServiceButNeverThePassword) {
    FailOn(
        1, 401,
        R"({"status_code": 40100, "status_message": "You are not authorized to access this resource."})");
    const Discovered refused = DataForSeo(10);
    EXPECT_EQ(refused.outcome.failedPage, 1);
    EXPECT_EQ(refused.outcome.reason,
              "request at offset 0: HTTP 401: DataForSEO says \"You are not authorized to access "
              "this resource.\" (status 40100)");

    ClearAsked();
    FailOn(
        2, 200,
        R"({"status_code": 20000, "tasks": [{"status_code": 40501, "status_message": "Invalid Field: 'target'.", "result": null}]})");
    const Discovered later = DataForSeo(10);
    EXPECT_EQ(later.outcome.failedPage, 2);
    EXPECT_EQ(later.outcome.reason,
              "request at offset 1000: the task failed: DataForSEO says \"Invalid Field: "
              "'target'.\" (status 40501)");
    EXPECT_EQ(later.urls.size(), 500U);

    ClearAsked();
    FailOn(1, 200,
           std::string(R"({"status_code": 40200, "status_message": "bad )") + kPassword + "\"}");
    const Discovered echoed = DataForSeo(10);
    EXPECT_THAT(echoed.outcome.reason, HasSubstr("DataForSEO says \"bad ***\" (status 40200)"));

    ClearAsked();
    FailOn(1, 200, R"({"status_code": 20000, "tasks": [{"status_code": 20000, "result": []}]})");
    EXPECT_EQ(DataForSeo(10).outcome.reason,
              "request at offset 0: the answer is not a DataForSEO backlinks answer");
}

TEST_F(BacklinkApiSourceTest, DataForSeoWaitsOutARefusal) {
    FailOn(1, 429, R"({"status_code": 40202, "status_message": "Rate limit."})");
    const Discovered waited = DataForSeo(1);
    EXPECT_FALSE(waited.outcome.failed) << waited.outcome.reason;
    EXPECT_EQ(waited.urls.size(), 500U);
    EXPECT_EQ(Asked().size(), 2U);
}

TEST(Base64Test, EncodesWithPadding) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64Encode(std::string("\xFF\x00\xFE", 3)), "/wD+");
}

}  // namespace
}  // namespace veltrap
