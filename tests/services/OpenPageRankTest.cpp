#include "services/openpagerank/OpenPageRank.h"
#include "services/openpagerank/OpenPageRankProvider.h"
#include "services/openpagerank/RegistrableDomain.h"

#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using Json = nlohmann::json;

// A loopback server answering as Open PageRank does, for the key "k": a
// domain's entry depends on its name, and every request is logged.
class OpenPageRankTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.Server().Get(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                std::vector<std::string> domains;
                for (std::size_t i = 0; i < request.get_param_value_count("domains[]"); ++i) {
                    domains.push_back(request.get_param_value("domains[]", i));
                }
                {
                    std::lock_guard lock(mutex);
                    asked.push_back(domains);
                }
                if (request.path == "/text") {
                    response.set_content("<html>busy</html>", "text/html");
                } else if (request.get_header_value("API-OPR") != "k") {
                    response.status = 401;
                    response.set_content(R"({"status_code":401,"error":"Invalid API Key"})",
                                         "application/json");
                } else {
                    response.set_content(Answer(domains).dump(), "application/json");
                }
            });
        server.Start();
        options.connectTo = server.Address();
    }

    static Json Answer(const std::vector<std::string>& domains) {
        Json entries = Json::array();
        for (const std::string& domain : domains) {
            if (domain == "missing.test") {
                continue;
            }
            const int status = domain == "gone.test" ? 404 : domain == "broken.test" ? 500 : 200;
            Json entry = {{"status_code", status},
                          {"error", status == 500 ? "oops" : ""},
                          {"domain", domain}};
            if (domain != "odd.test") {
                entry["page_rank_integer"] = static_cast<int>(domain.size() % 11);
            }
            entries.push_back(entry);
        }
        return {{"status_code", 200}, {"response", entries}};
    }

    std::vector<std::vector<std::string>> Asked() {
        std::lock_guard lock(mutex);
        return asked;
    }
    std::string Api(const std::string& path = "/api") { return "http://opr.test" + path; }

    HttpOptions options;
    std::mutex mutex;
    std::vector<std::vector<std::string>> asked;
    // Last, so that it stops before what its handlers use is gone.
    testing::LoopbackServer server;
};

TEST(RegistrableDomainTest, PublicSuffixesAndTheFallback) {
    EXPECT_EQ(RegistrableDomain("http://blog.example.co.uk/a/b"), "example.co.uk");
    EXPECT_EQ(RegistrableDomain("https://WWW.Example.COM:8080/?q=a.b"), "example.com");
    EXPECT_EQ(RegistrableDomain("http://user@shop.example.com./"), "example.com");
    EXPECT_EQ(RegistrableDomain("forum.lt.test/page"), "lt.test");
    EXPECT_EQ(RegistrableDomain("http://co.uk/"), "co.uk");
    EXPECT_EQ(RegistrableDomain("http://localhost/"), "localhost");
    EXPECT_EQ(RegistrableDomain("http://192.168.1.20/x"), "192.168.1.20");
    EXPECT_EQ(RegistrableDomain("http:///x"), "");
}

TEST_F(OpenPageRankTest, DomainsAreAskedOnceInBatchesOfAHundred) {
    std::vector<std::string> pages;
    for (int i = 0; i < 230; ++i) {
        const std::string domain = "site" + std::to_string(i) + ".test";
        pages.push_back("http://www." + domain + "/a.html");
        pages.push_back("http://blog." + domain + "/");
    }
    HttpSession session(options);
    const PageFetch fetch = SessionFetch(session);
    OpenPageRankProvider provider(Api(), "k");
    provider.Prepare(pages, fetch);
    const auto batches = Asked();
    ASSERT_EQ(batches.size(), 3U);
    EXPECT_EQ(batches[0].size(), 100U);
    EXPECT_EQ(batches[1].size(), 100U);
    EXPECT_EQ(batches[2].size(), 30U);
    std::set<std::string> distinct;
    for (const auto& batch : batches) {
        distinct.insert(batch.begin(), batch.end());
    }
    EXPECT_EQ(distinct.size(), 230U);

    // Any page of a domain takes the domain's score, without a request.
    EXPECT_EQ(provider.Authority("http://deep.site7.test/x/y", fetch).value(), 10);
    EXPECT_EQ(provider.Authority("http://site17.test", fetch).value(), 0);
    // A domain not prepared is asked once, however many ask at the same time.
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back(
            [&] { EXPECT_TRUE(provider.Authority("http://new.test/", fetch).found()); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(Asked().size(), 4U);
    EXPECT_EQ(Asked().back(), std::vector<std::string>{"new.test"});
}

TEST_F(OpenPageRankTest, NotFoundIsToldApartFromFailed) {
    HttpSession session(options);
    const PageFetch fetch = SessionFetch(session);
    OpenPageRankProvider provider(Api(), "k");
    provider.Prepare({"http://www.gone.test/", "http://missing.test/", "http://broken.test/",
                      "http://odd.test/", "http://fine.test/"},
                     fetch);
    EXPECT_EQ(Asked().size(), 1U);
    const LookupOutcome gone = provider.Authority("http://gone.test/", fetch);
    EXPECT_EQ(gone.kind(), LookupOutcome::Kind::kNotFound);
    EXPECT_EQ(gone.value(), -1);
    EXPECT_EQ(provider.Authority("http://missing.test/", fetch).reason(),
              "no entry for missing.test");
    EXPECT_EQ(provider.Authority("http://broken.test/", fetch).reason(),
              "status 500 for broken.test (oops)");
    EXPECT_EQ(provider.Authority("http://odd.test/", fetch).reason(),
              "a malformed entry for odd.test");
    EXPECT_EQ(provider.Authority("http://fine.test/", fetch).value(), 9);

    const LookupOutcome refused =
        OpenPageRankProvider(Api(), "wrong").Authority("http://fine.test/", fetch);
    EXPECT_TRUE(refused.failed());
    EXPECT_EQ(refused.reason(), "HTTP 401: the key was refused");
    const LookupOutcome text =
        OpenPageRankProvider(Api("/text"), "k").Authority("http://fine.test/", fetch);
    EXPECT_TRUE(text.failed());
    EXPECT_EQ(text.reason(), "the answer is not JSON");
}

// A hostile answer nested a million levels deep is refused before parsing,
// with a reason of its own; one within the bound reads as before.
TEST(OpenPageRankAnswerTest, DeeplyNestedAnswersAreRefusedUnread) {
    PageAnswer answer;
    answer.answered = true;
    answer.status = 200;
    answer.body = std::string(1000000, '[');
    const std::vector<LookupOutcome> deep = ReadOpenPageRank(answer, {"a.test"});
    EXPECT_EQ(deep.at(0).reason(), "the answer nests deeper than 64 levels");
    answer.body = R"({"status_code":200,"response":[{"domain":"a.test","status_code":200,)"
                  R"("page_rank_integer":4,"x":)" +
                  std::string(61, '[') + std::string(61, ']') + "}]}";
    EXPECT_EQ(ReadOpenPageRank(answer, {"a.test"}).at(0).value(), 4);
    // Entries not asked for are passed over unkept; the first of a domain
    // asked still counts, and a repeated list replaces the one before it.
    const std::string entry = R"({"domain":"%","status_code":200,"page_rank_integer":#})";
    const auto Entry = [&entry](const std::string& domain, char rank) {
        std::string text = entry;
        text.replace(text.find('%'), 1, domain);
        text.replace(text.find('#'), 1, 1, rank);
        return text;
    };
    const std::string list =
        Entry("b.test", '1') + "," + Entry("A.Test", '2') + "," + Entry("a.test", '3');
    answer.body = R"({"status_code":200,"response":[)" + list + R"(],"other":[1]})";
    EXPECT_EQ(ReadOpenPageRank(answer, {"a.test"}).at(0).value(), 2);
    answer.body = R"({"status_code":200,"response":[)" + list + R"(],"response":[)" +
                  Entry("a.test", '5') + "]}";
    EXPECT_EQ(ReadOpenPageRank(answer, {"a.test", "c.test"}).at(0).value(), 5);
    EXPECT_EQ(ReadOpenPageRank(answer, {"a.test", "c.test"}).at(1).reason(), "no entry for c.test");
}

}  // namespace
}  // namespace veltrap
